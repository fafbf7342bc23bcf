// The page in Debian's chromium, opened from file:// with every request to the network
// refused, and the command line it is held to.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { basename, dirname, join, resolve } from 'node:path';
import puppeteer from 'puppeteer-core';

export const root = resolve(new URL('../..', import.meta.url).pathname);
export const pagePath = join(root, 'build/web/hoopcast.html');
export const cli = process.env.HOOPCAST_CLI || join(root, 'build/default/src/cli/hoopcast-cli');

export async function launch() {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: join(scratch, 'chromium'),
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
      '--disable-sync', '--no-first-run', '--disable-quic'],
  });
}

// A page at `query` (such as '?scale=1'), ready for a play; `requests` lists every request
// that left the file and the page's own blobs, which must stay empty.
export async function openPage(browser, query = '?scale=1', viewport = { width: 1000, height: 760 }) {
  const page = await browser.newPage();
  await page.setViewport(viewport);
  const requests = [];
  const errors = [];
  await page.setRequestInterception(true);
  page.on('request', (r) => {
    if (/^(file|data|blob):/.test(r.url())) return r.continue();
    requests.push(r.url());
    return r.abort();
  });
  page.on('pageerror', (e) => errors.push(e.message));
  await page.goto(`file://${pagePath}${query}`);
  await page.waitForSelector('body[data-ready=true]', { timeout: 30000 });
  return { page, requests, errors };
}

export async function openPlay(page, file) {
  const input = await page.$('#open');
  await input.uploadFile(file);
  await idle(page);
}

// Waits until the worker has done and shown everything asked of it so far.
export const idle = (page) => page.evaluate(() => window.hoopcast.idle());

export const text = (page, id) => page.$eval(`#${id}`, (e) => e.textContent);

// The canvas's pixels as RGB.
export async function canvasRgb(page) {
  const { width, height, data } = await page.evaluate(() => {
    const c = document.getElementById('court');
    const rgba = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    let s = '';
    for (let i = 0; i < rgba.length; i += 4) s += String.fromCharCode(rgba[i], rgba[i + 1], rgba[i + 2]);
    return { width: c.width, height: c.height, data: btoa(s) };
  });
  return { width, height, rgb: Buffer.from(data, 'base64') };
}

// `hoopcast-cli render` of one sequence, as RGB.
const scratch = mkdtempSync(join(tmpdir(), 'hoopcast-web-'));
process.on('exit', () => rmSync(scratch, { recursive: true, force: true }));
export { scratch };

export function renderRgb(file, seq, sketch, extra = []) {
  const out = join(scratch, 'render.ppm');
  execFileSync(cli, ['render', file, '--seq', String(seq), sketch ? '--sketch' : '--no-sketch', '-o', out, ...extra]);
  return parsePpm(readFileSync(out));
}

export function parsePpm(ppm) {
  const header = ppm.subarray(0, 32).toString('latin1').match(/^P6\s+(\d+)\s+(\d+)\s+255\s/);
  return { width: Number(header[1]), height: Number(header[2]), rgb: ppm.subarray(header[0].length) };
}

// `hoopcast-cli info`, run where the file is, so that its messages name the file as the
// page's do (by its name alone).
export function info(file) {
  try {
    return JSON.parse(execFileSync(cli, ['info', basename(file)], { cwd: dirname(file), maxBuffer: 1 << 28 }));
  } catch (e) {
    return JSON.parse(e.stdout);
  }
}

// Where two pictures first differ, for a message.
export function firstDifference(a, b) {
  if (a.width !== b.width || a.height !== b.height) return `sizes ${a.width}x${a.height} and ${b.width}x${b.height}`;
  for (let i = 0; i < a.rgb.length; ++i) {
    if (a.rgb[i] !== b.rgb[i]) return `pixel (${Math.floor(i / 3) % a.width}, ${Math.floor(i / 3 / a.width)})`;
  }
  return null;
}
