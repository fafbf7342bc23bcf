// The page in a real browser: the court's pixels are the command line's, the controls and
// keys move through a play as the window does, bad and huge files get the window's answers.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { closeSync, openSync, readdirSync, ftruncateSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, describe, test } from 'node:test';

import { canvasRgb, cli, firstDifference, idle, info, launch, openPage, openPlay, renderRgb, root, scratch, text } from './browser.mjs';
import { writeTestPlays } from './plays.mjs';

const samples = readdirSync(join(root, 'samples')).filter((f) => f.endsWith('.kqz')).map((f) => join(root, 'samples', f));
const corpus = [...samples, ...writeTestPlays(join(scratch, 'plays'))];

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser?.close(); });

async function setChecked(page, id, checked) {
  if ((await page.$eval(`#${id}`, (e) => e.checked)) !== checked) await page.click(`#${id}`);
  await idle(page);
}

describe('every sequence at ?scale=1 is the picture render --scale 1 writes', () => {
  for (const sketch of [true, false]) {
    test(`Sketch ${sketch ? 'on' : 'off'}`, async () => {
      const { page, requests, errors } = await openPage(browser, '?scale=1');
      await setChecked(page, 'sketch', sketch);
      for (const file of corpus) {
        await openPlay(page, file);
        const count = info(file).seq_count;
        for (let seq = 1; seq <= count; ++seq) {
          if (seq > 1) {
            await page.click('#next');
            await idle(page);
          }
          assert.equal(await text(page, 'counter'), `${seq}/${count}`);
          const shown = await canvasRgb(page);
          assert.equal(firstDifference(shown, renderRgb(file, seq, sketch)), null, `${file} sequence ${seq}`);
        }
      }
      assert.deepEqual(requests, []);
      assert.deepEqual(errors, []);
      await page.close();
    });
  }
});

test('the description is the HTML text --html writes, for every still sequence', async () => {
  const { page } = await openPage(browser, '?scale=1');
  for (const file of samples) {
    await openPlay(page, file);
    const play = info(file);
    for (const s of play.sequences) {
      if (s.index > 1) {
        await page.click('#next');
        await idle(page);
      }
      if (!s.no_animation) continue;
      const html = execFileSync(cli, ['text', file, '--seq', String(s.index), '--html'], { encoding: 'utf8' });
      assert.equal(await page.$eval('#description', (e) => e.srcdoc), html, `${file} sequence ${s.index}`);
    }
  }
  await page.close();
});

test('Next, Previous, Stop and Play move the counter as the window does; a played play ends on its last picture', async () => {
  const { page } = await openPage(browser, '?scale=1');
  const file = join(root, 'samples/half_court_set_play.kqz');
  await openPlay(page, file);
  assert.equal(await text(page, 'counter'), '1/4');
  for (const [button, counter] of [['next', '2/4'], ['next', '3/4'], ['previous', '2/4'], ['stop', '1/4']]) {
    await page.click(`#${button}`);
    await idle(page);
    assert.equal(await text(page, 'counter'), counter, button);
  }
  await setChecked(page, 'sketch', false);
  await page.$eval('#speed', (e) => { e.value = '1'; e.dispatchEvent(new Event('change')); });
  await page.click('#play');
  await page.waitForFunction(() => document.getElementById('counter').textContent === '4/4', { timeout: 20000 });
  // The last tick shows the last sequence's still picture; nothing runs after it.
  await new Promise((r) => setTimeout(r, 300));
  await idle(page);
  assert.equal(firstDifference(await canvasRgb(page), renderRgb(file, 4, false)), null);
  await page.close();
});

test('keys: Space plays and pauses, arrows and PageUp/PageDown step, Home stops', async () => {
  const { page } = await openPage(browser, '?scale=1');
  await openPlay(page, join(root, 'samples/full_court_press.kqz'));
  await page.focus('#court');
  for (const [key, counter] of [['ArrowRight', '2/3'], ['PageDown', '3/3'], ['ArrowLeft', '2/3'], ['PageUp', '1/3'], ['ArrowRight', '2/3'], ['Home', '1/3']]) {
    await page.keyboard.press(key);
    await idle(page);
    assert.equal(await text(page, 'counter'), counter, key);
  }
  await page.$eval('#speed', (e) => { e.value = '1'; e.dispatchEvent(new Event('change')); });
  await page.keyboard.press('Space');
  await page.waitForFunction(() => document.getElementById('counter').textContent !== '1/3', { timeout: 20000 });
  await page.keyboard.press('Space');
  await idle(page);
  const paused = await text(page, 'counter');
  await new Promise((r) => setTimeout(r, 200));
  await idle(page);
  assert.equal(await text(page, 'counter'), paused);
  await page.close();
});

test('a bad file gives the reader\'s message and the page keeps its play', async () => {
  const { page } = await openPage(browser, '?scale=1');
  const good = join(root, 'samples/full_court_press.kqz');
  await openPlay(page, good);
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
  await page.close();
});

test('a 200 MB sparse file is read within the reader\'s bounds without freezing the page', async () => {
  const big = join(scratch, 'big.kqz');
  const fd = openSync(big, 'w');
  ftruncateSync(fd, 200 * 1024 * 1024);
  closeSync(fd);
  const { page } = await openPage(browser, '?scale=1');
  const input = await page.$('#open');
  await input.uploadFile(big);
  // The page answers while the worker reads.
  const started = Date.now();
  assert.equal(await page.evaluate(() => 1 + 1), 2);
  await idle(page);
  assert.ok(Date.now() - started < 20000);
  assert.equal(await text(page, 'message-text'), info(big).message);
  await page.close();
});
