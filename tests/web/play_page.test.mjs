// The one-play pages `hoopcast-cli export -o DIR/ --format html` writes, in chromium from
// file:// with the network off: each is small, shows its play at once with the command line's
// pixels, steps and plays; on an emulated phone the court takes the width, every control a
// finger, and swipes and taps move through the play.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readdirSync, statSync } from 'node:fs';
import { basename, join } from 'node:path';
import { after, before, test } from 'node:test';

import { canvasDifference, cli, idle, info, launch, openPage, press, renderPlays, root, scratch, text } from './browser.mjs';
import { writeTestPlays } from './plays.mjs';

const samples = readdirSync(join(root, 'samples')).filter((f) => f.endsWith('.kqz')).map((f) => join(root, 'samples', f));
const plays = [...samples, ...writeTestPlays(join(scratch, 'page-plays'))];
const folder = join(scratch, 'pages/');
const pageOf = (play) => join(folder, basename(play).replace(/\.kqz$/, '.html'));
const kMaxBytes = 2 * 1024 * 1024;
const phone = { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true };

let browser;
let frames;
before(async () => {
  execFileSync(cli, ['export', ...plays, '-o', folder, '--format', 'html'], { stdio: 'ignore' });
  [browser, frames] = await Promise.all([launch(), renderPlays(plays)]);
});
after(() => browser?.close());

// The page of `play`, its checks that it fetched nothing and threw nothing run on close.
async function opened(play, query = '?scale=1', viewport = undefined) {
  const { page, requests, errors } = await openPage(browser, query, viewport, pageOf(play));
  return {
    page,
    async close() {
      assert.deepEqual(requests, [], 'requests');
      assert.deepEqual(errors, [], 'errors');
      await page.close();
    },
  };
}

const count = (play) => frames.get(play).length;
const sample = (name) => join(root, 'samples', name);

test('every page is at most 2 MB, named and titled after its play, and shows every sequence as render --scale 1 draws it', async (t) => {
  const sizes = [];
  for (const play of plays) {
    const size = statSync(pageOf(play)).size;
    sizes.push(`${basename(play)} ${(size / 1024).toFixed(0)} KiB`);
    assert.ok(size <= kMaxBytes, `${play}: ${size} bytes`);
    const { page, close } = await opened(play);
    // (document.title gives runs of blanks as one)
    assert.equal(await page.title(), info(play).play_name.replace(/\s+/g, ' ').trim() || basename(play, '.kqz'));
    for (let seq = 1; seq <= count(play); ++seq) {
      if (seq > 1) await press(page, 'next');
      assert.equal(await text(page, 'counter'), `${seq}/${count(play)}`);
      assert.equal(await canvasDifference(page, frames.get(play)[seq - 1][1]), null, `${play} sequence ${seq}`);
    }
    assert.equal(await page.$('#open'), null, 'no file input');
    await close();
  }
  t.diagnostic(sizes.join(', '));
});

test('Step plays one transition and stops on the next sequence\'s still picture; Next and Play go on', async () => {
  const play = sample('half_court_set_play.kqz');
  const { page, close } = await opened(play);
  const n = count(play);
  await press(page, 'next');
  assert.equal(await text(page, 'counter'), `2/${n}`);
  await press(page, 'step');
  await page.waitForFunction((want) => document.getElementById('counter').textContent === want, { timeout: 10000 }, `3/${n}`);
  await new Promise((r) => setTimeout(r, 300));
  await idle(page);
  assert.equal(await text(page, 'counter'), `3/${n}`, 'stopped after one transition');
  assert.equal(await canvasDifference(page, frames.get(play)[2][1]), null);
  await press(page, 'play');
  await page.waitForFunction((want) => document.getElementById('counter').textContent === want, { timeout: 20000 }, `${n}/${n}`);
  await close();
});

// Puppeteer's touch screen, on the court: a tap, or a swipe of `dx` CSS pixels.
async function touchCourt(page, dx) {
  const box = await (await page.$('#court')).boundingBox();
  const [x, y] = [box.x + box.width / 2, box.y + box.height / 2];
  if (dx === 0) return page.touchscreen.tap(x, y);
  await page.touchscreen.touchStart(x, y);
  for (let k = 1; k <= 4; ++k) await page.touchscreen.touchMove(x + (dx * k) / 4, y);
  return page.touchscreen.touchEnd();
}

test('on a phone the court takes the width sharply, every control is 44 x 44, a swipe steps and a tap plays', async () => {
  const play = sample('full_court_press.kqz');
  const n = count(play);
  const { page, close } = await opened(play, '', phone);
  await idle(page);
  const layout = await page.evaluate(() => {
    const box = (id) => document.getElementById(id).getBoundingClientRect();
    const small = [...document.querySelectorAll('#controls button, #controls label, #controls select, #controls input')]
      .filter((e) => e.getClientRects().length > 0 && !(e.closest('label') && e.tagName === 'INPUT'))
      .map((e) => [e.id || e.textContent.trim(), e.getBoundingClientRect()])
      .filter(([, r]) => r.width < 44 || r.height < 44)
      .map(([name, r]) => `${name} ${r.width}x${r.height}`);
    const c = document.getElementById('court');
    return {
      court: box('court').toJSON(), counter: box('counter').top, controls: box('controls').top, text: box('description').top,
      pixels: [c.width, c.height], small, width: innerWidth, touch: getComputedStyle(document.getElementById('play')).touchAction,
    };
  });
  assert.ok(layout.court.left >= 0 && layout.court.right <= layout.width && layout.court.width >= layout.width - 16, JSON.stringify(layout.court));
  assert.ok(Math.abs(layout.pixels[0] - layout.court.width * 3) < 1, 'a device pixel for each picture pixel');
  assert.ok(layout.court.bottom <= layout.counter && layout.counter < layout.controls && layout.controls < layout.text, 'court, counter, controls, description');
  assert.deepEqual(layout.small, []);
  assert.equal(layout.touch, 'manipulation');
  const want = (counter) => page.waitForFunction((w) => document.getElementById('counter').textContent === w, { timeout: 10000 }, counter);

  await touchCourt(page, -120);
  await want(`2/${n}`);
  await touchCourt(page, 120);
  await want(`1/${n}`);
  await touchCourt(page, 0);
  await want(`2/${n}`);

  // A browser without full screen for pages (a phone's may keep it for videos): Present
  // fills the window with the court at its height all the same, and Esc leaves.
  await page.evaluate(() => Object.defineProperty(document, 'fullscreenEnabled', { value: false }));
  await press(page, 'present');
  await page.waitForFunction(() => document.body.classList.contains('presenting') &&
    document.getElementById('court').height === innerHeight * devicePixelRatio - 48, { timeout: 5000 });
  assert.equal(await page.evaluate(() => document.fullscreenElement), null);
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => !document.body.classList.contains('presenting'), { timeout: 5000 });

  // Held sideways, the court stands beside the description again.
  await page.setViewport({ ...phone, width: 844, height: 390 });
  await page.waitForFunction(() => {
    const court = document.getElementById('court').getBoundingClientRect();
    return court.right <= document.getElementById('description').getBoundingClientRect().left;
  }, { timeout: 5000 });
  await close();
});
