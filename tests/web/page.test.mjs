// The page in a real browser: the court's pixels are the command line's, the controls and
// keys move through a play as the window does, sketches, presentation and exports are the
// desktop's, bad and huge files get the window's answers. One browser, and one page at
// ?scale=1 that the tests share, each putting the controls back as it found them.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { closeSync, ftruncateSync, mkdirSync, openSync, readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, test } from 'node:test';

import {
  canvasDifference, canvasRgb, cli, firstDifference, idle, info, launch, openPage, openPlay, parsePpm, press, reference,
  render, renderPlays, root, scratch, text, written,
} from './browser.mjs';
import { writeTestPlays } from './plays.mjs';

const samples = readdirSync(join(root, 'samples')).filter((f) => f.endsWith('.kqz')).map((f) => join(root, 'samples', f));
const corpus = [...samples, ...writeTestPlays(join(scratch, 'plays'))];
const sample = (name) => join(root, 'samples', name);
const kRed = 0x0000ff;
const kBlue = 0xff0000;

let browser;
let page;
let shared;
before(async () => {
  browser = await launch();
  shared = await openPage(browser, '?scale=1');
  page = shared.page;
});
after(async () => {
  assert.deepEqual(shared.requests, []);
  assert.deepEqual(shared.errors, []);
  await browser?.close();
});

async function setChecked(id, checked) {
  if ((await page.$eval(`#${id}`, (e) => e.checked)) !== checked) await page.click(`#${id}`);
  await idle(page);
}

async function setSpeed(ms) {
  await page.$eval('#speed', (e, v) => { e.value = String(v); e.dispatchEvent(new Event('change')); }, ms);
  await idle(page);
}

// The controls as a fresh page has them, with `play` open and stopped at its first sequence.
async function fresh(play) {
  await setChecked('sketch', true);
  await setChecked('loop', false);
  await setSpeed(20);
  await page.select('#colour', String(kBlue));
  await page.evaluate(() => document.activeElement?.blur());
  await openPlay(page, play);
}

async function step(button) {
  await page.click(`#${button}`);
  await idle(page);
}

test('every sequence at ?scale=1 is the picture render --scale 1 writes, Sketch on and off', async () => {
  const frames = await renderPlays(corpus);
  await fresh(corpus[0]);
  for (const file of corpus) {
    await openPlay(page, file);
    const count = frames.get(file).length;
    for (let seq = 1; seq <= count; ++seq) {
      if (seq > 1) await press(page, 'next');
      assert.equal(await text(page, 'counter'), `${seq}/${count}`);
      for (const sketch of seq % 2 ? [false, true] : [true, false]) {
        if ((await page.$eval('#sketch', (e) => e.checked)) !== sketch) await press(page, 'sketch');
        const difference = await canvasDifference(page, frames.get(file)[seq - 1][sketch ? 1 : 0]);
        assert.equal(difference, null, `${file} sequence ${seq}, Sketch ${sketch ? 'on' : 'off'}`);
      }
    }
  }
});

test('the description is the HTML text --html writes, for every still sequence', async () => {
  await fresh(samples[0]);
  for (const file of samples) {
    await openPlay(page, file);
    const play = info(file);
    for (const s of play.sequences) {
      if (s.index > 1) await step('next');
      if (!s.no_animation) continue;
      const html = execFileSync(cli, ['text', file, '--seq', String(s.index), '--html'], { encoding: 'utf8' });
      assert.equal(await page.$eval('#description', (e) => e.srcdoc), html, `${file} sequence ${s.index}`);
    }
  }
});

test('Next, Previous, Stop and Play move the counter as the window does; a played play ends on its last picture', async () => {
  const file = sample('half_court_set_play.kqz');
  await fresh(file);
  assert.equal(await text(page, 'counter'), '1/4');
  for (const [button, counter] of [['next', '2/4'], ['next', '3/4'], ['previous', '2/4'], ['stop', '1/4']]) {
    await step(button);
    assert.equal(await text(page, 'counter'), counter, button);
  }
  await setChecked('sketch', false);
  await setSpeed(1);
  await page.click('#play');
  await page.waitForFunction(() => document.getElementById('counter').textContent === '4/4', { timeout: 20000 });
  // The last tick shows the last sequence's still picture; nothing runs after it.
  await new Promise((r) => setTimeout(r, 300));
  await idle(page);
  assert.equal(firstDifference(await canvasRgb(page), await render(file, 4, false)), null);
});

test('keys: Space plays and pauses, arrows and PageUp/PageDown step, Home stops', async () => {
  await fresh(sample('full_court_press.kqz'));
  for (const [key, counter] of [['ArrowRight', '2/3'], ['PageDown', '3/3'], ['ArrowLeft', '2/3'], ['PageUp', '1/3'], ['ArrowRight', '2/3'], ['Home', '1/3']]) {
    await page.keyboard.press(key);
    await idle(page);
    assert.equal(await text(page, 'counter'), counter, key);
  }
  await setSpeed(1);
  await page.evaluate(() => document.activeElement?.blur());
  await page.keyboard.press('Space');
  await page.waitForFunction(() => document.getElementById('counter').textContent !== '1/3', { timeout: 20000 });
  await page.keyboard.press('Space');
  await idle(page);
  const paused = await text(page, 'counter');
  await new Promise((r) => setTimeout(r, 200));
  await idle(page);
  assert.equal(await text(page, 'counter'), paused);
});

// Drags the mouse through `points` (picture pixels, the canvas at its own size).
async function drag(points) {
  const box = await page.$eval('#court', (c) => { const r = c.getBoundingClientRect(); return [r.left, r.top]; });
  const at = ([x, y]) => [box[0] + x + 0.5, box[1] + y + 0.5];
  await page.mouse.move(...at(points[0]));
  await page.mouse.down();
  for (const p of points.slice(1)) await page.mouse.move(...at(p));
  await page.mouse.up();
  await idle(page);
}

test('a drag on a stopped court draws in the panel\'s colour with the window\'s pen; a redraw wipes it; none while playing', async () => {
  const file = sample('half_court_set_play.kqz');
  await fresh(file);
  await step('next');
  await page.select('#colour', String(kRed));
  const points = [[40, 60], [41, 60], [80, 92], [150, 95], [150, 250], [30, 340]];
  await drag(points);
  const expected = parsePpm(await written(reference,
    ['sketch', file, '2', '1', String(kRed), ...points.map((p) => p.join(','))], 'ppm'));
  assert.equal(firstDifference(await canvasRgb(page), expected), null);

  // A click beside the court redraws it.
  const beside = await page.evaluate(() => {
    const r = document.getElementById('court').getBoundingClientRect();
    return [r.left - 4, r.top + 10];
  });
  await page.mouse.click(...beside);
  await idle(page);
  const still = await render(file, 2, true);
  assert.equal(firstDifference(await canvasRgb(page), still), null);

  // While playing (the first step a long way off) a drag leaves the court as it is.
  await setSpeed(10000);
  await step('play');
  const playing = await canvasRgb(page);
  await drag(points);
  assert.equal(firstDifference(await canvasRgb(page), playing), null);
  await step('stop');
});

// Clicks `selector` and waits for the file the page downloads: its name and bytes.
async function download(selector) {
  const folder = join(scratch, `downloads-${Date.now()}`);
  mkdirSync(folder);
  const session = await browser.target().createCDPSession();
  await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: folder, eventsEnabled: true });
  const done = new Promise((resolve, reject) => session.on('Browser.downloadProgress', (e) => {
    if (e.state === 'completed') resolve(e.filePath);
    if (e.state === 'canceled') reject(new Error('download canceled'));
  }));
  await page.click(selector);
  const path = await done;
  await session.detach();
  return { name: path.slice(folder.length + 1), bytes: readFileSync(path) };
}

test('Export PNG downloads the file render writes, Export GIF the file export writes, with the page\'s settings', async () => {
  const file = sample('full_court_press.kqz');
  await fresh(file);
  await step('next');
  for (const sketch of [false, true]) {
    await setChecked('sketch', sketch);
    const png = await download('#export-png');
    assert.equal(png.name, 'full_court_press-seq2.png');
    const expected = await written(cli, ['render', file, '--seq', '2', '--scale', '1', sketch ? '--sketch' : '--no-sketch', '-o'], 'png');
    assert.ok(png.bytes.equals(expected), `PNG with Sketch ${sketch}`);
  }
  await setSpeed(35);
  const gif = await download('#export-gif');
  assert.equal(gif.name, 'full_court_press.gif');
  const expected = await written(cli, ['export', file, '--scale', '1', '--speed', '35', '--sketch', '-o'], 'gif');
  assert.ok(gif.bytes.equals(expected), 'GIF');
});

test('a bad file gives the reader\'s message and the page keeps its play', async () => {
  await fresh(sample('full_court_press.kqz'));
  for (const name of ['version_0_6.kqz', 'truncated_in_items.kqz', 'too_many_sequences.kqz']) {
    const bad = join(root, 'tests/data', name);
    await openPlay(page, bad);
    const expected = info(bad);
    assert.equal(await page.$eval('#message', (e) => e.open), true, name);
    assert.equal(await text(page, 'message-text'), expected.message, name);
    assert.equal(await text(page, 'message-title'), expected.box === 'information' ? 'Information' : 'Error', name);
    await page.click('#message button');
    assert.equal(await page.$eval('#message', (e) => e.open), false);
  }
});

test('a 200 MB sparse file is read within the reader\'s bounds without freezing the page', async () => {
  const big = join(scratch, 'big.kqz');
  const fd = openSync(big, 'w');
  ftruncateSync(fd, 200 * 1024 * 1024);
  closeSync(fd);
  await fresh(sample('full_court_press.kqz'));
  const input = await page.$('#open');
  await input.uploadFile(big);
  // The page answers while the worker reads.
  const started = Date.now();
  assert.equal(await page.evaluate(() => 1 + 1), 2);
  await idle(page);
  assert.ok(Date.now() - started < 20000);
  assert.equal(await text(page, 'message-text'), info(big).message);
  await page.click('#message button');
});

test('F and Present show the court at the screen\'s height on black with the floating panel; Esc leaves', async () => {
  const { page: p, requests, errors } = await openPage(browser, '', { width: 1000, height: 760 });
  const file = sample('full_court_press.kqz');
  await openPlay(p, file);
  const normal = await p.$eval('#court', (c) => c.height);
  for (const enter of [() => p.keyboard.press('f'), () => p.click('#present')]) {
    await enter();
    // The court is drawn again at its new size once the size has settled.
    await p.waitForFunction(() => document.body.classList.contains('presenting') &&
      document.getElementById('court').height === innerHeight * devicePixelRatio - 48, { timeout: 5000 });
    await p.evaluate(() => window.hoopcast.idle());
    const layout = await p.evaluate(() => {
      const box = (id) => document.getElementById(id).getBoundingClientRect();
      const court = box('court');
      const panel = box('controls');
      return {
        scale: (innerHeight * devicePixelRatio - 48) / 361,
        screenHeight: Math.round(screen.height * devicePixelRatio),
        background: getComputedStyle(document.body).backgroundColor,
        hidden: ['labels', 'description'].map((id) => getComputedStyle(document.getElementById(id)).display),
        court: [court.left, court.top, court.width, innerWidth],
        panel: [panel.left, panel.top, panel.width > 0 && panel.height > 0],
        title: document.title,
      };
    });
    assert.equal(layout.background, 'rgb(0, 0, 0)');
    assert.deepEqual(layout.hidden, ['none', 'none']);
    const [left, top, width, windowWidth] = layout.court;
    assert.equal(top, 0);
    assert.ok(Math.abs(left - (windowWidth - width) / 2) <= 0.5, `court at ${left}`);
    assert.deepEqual(layout.panel, [left + width + 5, 5, true]);
    // (document.title gives the caption with its runs of blanks as one)
    assert.equal(layout.title, `Basketball Hoopcast : ${info(file).play_name} - 1/3`);
    const expected = await render(file, 1, true, ['--scale', String(layout.scale), '--screen-height', String(layout.screenHeight)]);
    assert.equal(firstDifference(await canvasRgb(p), expected), null);

    await p.keyboard.press('Escape');
    await p.waitForFunction((h) => !document.body.classList.contains('presenting') &&
      document.getElementById('court').height === h, { timeout: 5000 }, normal);
    assert.equal(await p.evaluate(() => document.fullscreenElement), null);
  }
  assert.deepEqual(requests, []);
  assert.deepEqual(errors, []);
  await p.close();
});
