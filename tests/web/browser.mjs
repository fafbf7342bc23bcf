// The page in Debian's chromium, opened from file:// with every request to the network
// refused, and the command line it is held to.
import { execFile, execFileSync } from 'node:child_process';
import assert from 'node:assert/strict';
import { createHash } from 'node:crypto';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { basename, dirname, join, resolve } from 'node:path';
import { promisify } from 'node:util';
import { inflateSync } from 'node:zlib';
import puppeteer from 'puppeteer-core';

const run = promisify(execFile);

export const root = resolve(new URL('../..', import.meta.url).pathname);
export const pagePath = join(root, 'build/web/hoopcast.html');
export const cli = process.env.HOOPCAST_CLI || join(root, 'build/default/src/cli/hoopcast-cli');
// The desktop's reference for what the command line cannot show (tests/web/reference.cpp).
export const reference = join(dirname(cli), '../../tests/web/web_reference');

export const scratch = mkdtempSync(join(tmpdir(), 'hoopcast-web-'));
process.on('exit', () => rmSync(scratch, { recursive: true, force: true }));
let outputs = 0;
const output = (extension) => join(scratch, `out-${++outputs}.${extension}`);

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
// that left the file and the page's own blobs, which must stay empty. `file` is the viewer
// unless an exported page is given; `viewport` may emulate a phone (puppeteer's Viewport).
export async function openPage(browser, query = '?scale=1', viewport = { width: 1000, height: 760 }, file = pagePath) {
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
  await page.goto(`file://${file}${query}`);
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

// Clicks the element in the page itself, without moving the mouse there (quicker), and
// waits until the worker has done what the click asked.
export const press = (page, id) => page.evaluate(async (which) => {
  document.getElementById(which).click();
  await window.hoopcast.idle();
}, id);

export const text = (page, id) => page.$eval(`#${id}`, (e) => e.textContent);

// The canvas's pixels as RGB.
export async function canvasRgb(page) {
  const { width, height, data } = await page.evaluate(() => {
    const c = document.getElementById('court');
    const rgba = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    const rgb = new Uint8Array((rgba.length / 4) * 3);
    for (let i = 0, j = 0; i < rgba.length; i += 4, j += 3) rgb.set(rgba.subarray(i, i + 3), j);
    let s = '';
    for (let i = 0; i < rgb.length; i += 8192) s += String.fromCharCode.apply(null, rgb.subarray(i, i + 8192));
    return { width: c.width, height: c.height, data: btoa(s) };
  });
  return { width, height, rgb: Buffer.from(data, 'base64') };
}

// Where the canvas first differs from `expected` (RGB), or null. The canvas's pixels leave
// the page only when they differ: a digest of them is quicker to hand over.
export async function canvasDifference(page, expected) {
  const digest = await page.evaluate(async () => {
    const c = document.getElementById('court');
    const rgba = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    const rgb = new Uint8Array((rgba.length / 4) * 3);
    for (let i = 0, j = 0; i < rgba.length; i += 4, j += 3) rgb.set(rgba.subarray(i, i + 3), j);
    const bytes = new Uint8Array(await crypto.subtle.digest('SHA-256', rgb));
    return `${c.width}x${c.height} ${Array.from(bytes, (b) => b.toString(16).padStart(2, '0')).join('')}`;
  });
  const wanted = `${expected.width}x${expected.height} ${createHash('sha256').update(expected.rgb).digest('hex')}`;
  return digest === wanted ? null : firstDifference(await canvasRgb(page), expected) ?? 'digests differ';
}

// The file `command ARGS... OUT` writes, as bytes; several may run at once.
export async function written(command, args, extension) {
  const out = output(extension);
  await run(command, [...args, out]);
  return readFileSync(out);
}

// `hoopcast-cli render` of one sequence, as RGB.
export async function render(file, seq, sketch, extra = []) {
  const args = ['render', file, '--seq', String(seq), sketch ? '--sketch' : '--no-sketch', ...extra, '-o'];
  return parsePpm(await written(cli, args, 'ppm'));
}

// Still frames of every sequence of `plays` at scale 1, Sketch on and off, as `hoopcast-cli
// render` writes them: one batch per sequence and Sketch setting, which is much quicker
// than a run for each. frames.get(play)[seq - 1][sketch ? 1 : 0] is the frame as RGB.
export async function renderPlays(plays) {
  const counts = plays.map((p) => Number(/^Nr_seq   = (\d+)/m.exec(readFileSync(p, 'latin1'))[1]));
  const stem = (p) => basename(p).replace(/\.kqz$/, '');
  assert.equal(new Set(plays.map(stem)).size, plays.length, 'plays of one name');
  const frames = new Map(plays.map((p, k) => [p, Array.from({ length: counts[k] }, () => [])]));
  for (let seq = 1; seq <= Math.max(...counts); ++seq) {
    const some = plays.filter((_, k) => counts[k] >= seq);
    for (const sketch of [false, true]) {
      const folder = join(scratch, `frames-${seq}-${sketch}/`);
      await run(cli, ['render', ...some, '--seq', String(seq), sketch ? '--sketch' : '--no-sketch', '-o', folder]);
      for (const p of some) frames.get(p)[seq - 1][sketch ? 1 : 0] = parsePng(readFileSync(join(folder, `${stem(p)}.png`)));
    }
  }
  return frames;
}

// An 8-bit RGB PNG, as our writer makes them, as RGB.
export function parsePng(png) {
  let width = 0, height = 0;
  const data = [];
  for (let at = 8; at < png.length; at += 12 + png.readUInt32BE(at)) {
    const type = png.toString('latin1', at + 4, at + 8);
    const body = png.subarray(at + 8, at + 8 + png.readUInt32BE(at));
    if (type === 'IHDR') {
      [width, height] = [body.readUInt32BE(0), body.readUInt32BE(4)];
      assert.deepEqual([...body.subarray(8, 13)], [8, 2, 0, 0, 0], 'an 8-bit RGB PNG without interlacing');
    }
    if (type === 'IDAT') data.push(body);
  }
  const raw = inflateSync(Buffer.concat(data));
  const stride = width * 3;
  const rgb = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    for (let x = 0; x < stride; ++x) {
      const i = y * stride + x;
      const a = x >= 3 ? rgb[i - 3] : 0, b = y > 0 ? rgb[i - stride] : 0, c = x >= 3 && y > 0 ? rgb[i - stride - 3] : 0;
      const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
      const predictor = [0, a, b, (a + b) >> 1, pa <= pb && pa <= pc ? a : pb <= pc ? b : c][filter];
      rgb[i] = (raw[y * (stride + 1) + 1 + x] + predictor) & 255;
    }
  }
  return { width, height, rgb };
}

export function parsePpm(ppm) {
  const header = ppm.subarray(0, 32).toString('latin1').match(/^P6\s+(\d+)\s+(\d+)\s+255\s/);
  return { width: Number(header[1]), height: Number(header[2]), rgb: ppm.subarray(header[0].length) };
}

// `hoopcast-cli info`, run where the file is, so that its messages name the file as the
// page's do (by its name alone).
export function info(file) {
  try {
    return JSON.parse(execFileSync(cli, ['info', basename(file)],
      { cwd: dirname(file), maxBuffer: 1 << 28, stdio: ['ignore', 'pipe', 'pipe'] }));
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
