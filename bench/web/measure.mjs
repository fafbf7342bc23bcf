// The browser's side of bench/web.sh, in Debian's chromium:
//   node bench/web/measure.mjs BENCH_FRAMES BENCH_FRAMES_WEB.js PLAY HOOPCAST_CLI
// prints the busy frame's microseconds natively (bench_frames) and in chromium (the wasm
// benchmark), the best of three runs of each taken in turn, and the milliseconds from opening
// hoopcast.html from disk to the core being ready and to the first court frame of PLAY,
// handed to the page the moment it is ready (the median of ten openings); and for every
// sample the size of the page `hoopcast-cli export -o PLAY.html` writes and the time from
// opening it from disk to its first court frame (the median of five openings).
import { execFileSync } from 'node:child_process';
import { readdirSync, readFileSync, statSync, writeFileSync } from 'node:fs';
import { basename, join } from 'node:path';

import { launch, pagePath, scratch } from '../../tests/web/browser.mjs';

const [native, wasm, play, cli] = process.argv.slice(2);
const browser = await launch();
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const cases = [['still', 100], ['still', 286], ['animation', 100], ['animation', 286]];
const key = (frame, hundredths) => `${frame} ${(hundredths / 100).toFixed(2)}`;

// bench_frames' cases of the busy frame drawn into a kept picture: CPU microseconds a frame.
function nativeFrames() {
  const filter = '^BM_(Still|Animation)Frame/(100|286)/0$';
  const out = join(scratch, 'native.json');
  execFileSync(native, [`--benchmark_filter=${filter}`, `--benchmark_out=${out}`, '--benchmark_out_format=json'],
    { stdio: 'ignore' });
  const report = JSON.parse(readFileSync(out, 'utf8'));
  return new Map(report.benchmarks.map((b) => {
    const [, frame, hundredths] = /^BM_(\w+)Frame\/(\d+)\/0$/.exec(b.name);
    return [key(frame.toLowerCase(), Number(hundredths)), b.cpu_time];
  }));
}

// The wasm benchmark in a page of its own: the lines it prints.
async function browserFrames() {
  const html = join(scratch, 'frames.html');
  writeFileSync(html, `<!DOCTYPE html><script src="file://${wasm}"></script>`);
  const page = await browser.newPage();
  const times = new Map();
  const done = new Promise((resolve) => page.on('console', (m) => {
    const [frame, scale, us] = m.text().split(' ');
    if (frame === 'done') resolve();
    else times.set(`${frame} ${scale}`, Number(us));
  }));
  await page.goto(`file://${html}`);
  await done;
  await page.close();
  return times;
}

// The medians of `runs` openings of `file` from disk: to the page being ready, and to its
// first court frame; `handOver` hands the viewer its play.
async function pageOpen(runs, file = pagePath, handOver = true) {
  const bytes = readFileSync(play).toString('base64');
  const ready = [], framed = [];
  for (let run = 0; run < runs; ++run) {
    // A context of its own each time, so that nothing of an earlier run is reused.
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.setViewport({ width: 1280, height: 900 });
    // The play is handed over the moment the page is ready, as a page that brings its own
    // play would open it.
    if (handOver) await page.evaluateOnNewDocument((data, name) => {
      const open = () => {
        if (!document.body?.dataset.ready) return false;
        window.hoopcast.open(new File([Uint8Array.from(atob(data), (c) => c.charCodeAt(0))], name));
        return true;
      };
      document.addEventListener('DOMContentLoaded', () => {
        if (open()) return;
        const watch = new MutationObserver(() => open() && watch.disconnect());
        watch.observe(document.body, { attributes: true });
      });
    }, bytes, basename(play));
    await page.goto(`file://${file}`);
    await page.waitForFunction(() => performance.getEntriesByName('hoopcast-first-frame').length > 0,
      { timeout: 30000 });
    const [r, f] = await page.evaluate(() => ['hoopcast-ready', 'hoopcast-first-frame'].map(
      (name) => performance.getEntriesByName(name)[0].startTime));
    ready.push(r);
    framed.push(f);
    await context.close();
  }
  return [median(ready), median(framed)];
}

const best = new Map();
const keep = (side, times) => {
  for (const [k, us] of times) best.set(`${side} ${k}`, Math.min(best.get(`${side} ${k}`) ?? Infinity, us));
};
for (let round = 0; round < 3; ++round) {
  keep('native', nativeFrames());
  keep('browser', await browserFrames());
}
console.log('busy frame, us per frame   native   chromium   chromium/native (target 2)');
for (const [frame, hundredths] of cases) {
  const k = key(frame, hundredths);
  const n = best.get(`native ${k}`), b = best.get(`browser ${k}`);
  console.log(`${k.padEnd(26)} ${n.toFixed(1).padStart(7)} ${b.toFixed(1).padStart(10)} ${(b / n).toFixed(2).padStart(10)}`);
}
const [ready, framed] = await pageOpen(10);
console.log(`hoopcast.html ${Math.round(statSync(pagePath).size / 1024)} KiB (target 2048); from disk: ready ${ready.toFixed(0)} ms, ` +
  `first court frame ${framed.toFixed(0)} ms (target 300), the median of 10`);

console.log('exported page              KiB (target 2048, aim 1536)   first court frame, ms (median of 5)');
const samples = readdirSync('samples').filter((f) => f.endsWith('.kqz')).sort();
const pages = join(scratch, 'pages/');
execFileSync(cli, ['export', ...samples.map((f) => join('samples', f)), '-o', pages, '--format', 'html'], { stdio: 'ignore' });
for (const sample of samples) {
  const page = join(pages, sample.replace(/\.kqz$/, '.html'));
  const [, first] = await pageOpen(5, page, false);
  console.log(`${sample.padEnd(30)} ${String(Math.round(statSync(page).size / 1024)).padStart(5)} ${first.toFixed(0).padStart(30)}`);
}
await browser.close();
