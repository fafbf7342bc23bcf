// The core's WebAssembly in Node: every play of the test corpus read into the same model as
// `hoopcast-cli info` gives (step plans included), the same step positions as the desktop's
// x87 arithmetic, and the same description HTML as `text --html`.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readdirSync, readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { basename, join } from 'node:path';
import { before, test } from 'node:test';

import { cli, info, reference, root, scratch } from './browser.mjs';
import { writeLongTextPlay, writeTestPlays } from './plays.mjs';

const core = join(root, 'build/web/core/src/web');
const kqz = (dir) => readdirSync(dir).filter((f) => f.endsWith('.kqz')).map((f) => join(dir, f));
const corpus = [...kqz(join(root, 'samples')), ...kqz(join(root, 'tests/data')), ...writeTestPlays(join(scratch, 'core-plays')),
  writeLongTextPlay(join(scratch, 'core-plays'))];

let viewer;
let sliceSource;
const shown = {};
before(async () => {
  globalThis.createHoopcastCore = createRequire(import.meta.url)(join(core, 'hoopcast_web.js'));
  const worker = await import('../../src/web/worker.js');
  const { startCore } = worker;
  sliceSource = worker.sliceSource;
  const fontDir = join(root, 'build/web/fonts');
  const fonts = readdirSync(fontDir).filter((f) => f.endsWith('.ttf')).map((name) => ({ name, bytes: readFileSync(join(fontDir, name)) }));
  const module = await startCore(readFileSync(join(core, 'hoopcast_web.wasm')), fonts);
  viewer = new module.Viewer({
    frame() {}, counter(t) { shown.counter = t; }, caption(t) { shown.caption = t; }, description() {}, timer() {},
  });
});

// Read as the page reads a file: in slices, here of the file's bytes.
function open(file) {
  const bytes = readFileSync(file);
  const source = sliceSource({ size: bytes.length }, (_, from, to) => bytes.subarray(from, to));
  return viewer.open(source, bytes.length, basename(file));
}

test('every play reads into the model hoopcast-cli info gives, step plans included', () => {
  for (const file of corpus) {
    const result = open(file);
    const expected = info(file);
    for (const key of ['outcome', 'message', 'box', 'play_loaded']) assert.equal(result[key], expected[key], `${file}: ${key}`);
    const model = viewer.model();
    for (const s of model.sequences) for (const item of s.items) delete item.positions;
    assert.deepEqual(model, { seq_count: expected.seq_count, has_zones: expected.has_zones, sequences: expected.sequences }, file);
  }
});

test('every item stands where the desktop puts it at every step', () => {
  const desktop = execFileSync(reference, ['steps', ...corpus], { encoding: 'utf8', maxBuffer: 1 << 28 })
    .trim().split('\n').map((line) => JSON.parse(line));
  corpus.forEach((file, k) => {
    open(file);
    const positions = viewer.model().sequences.map((s) => s.items.map((item) => item.positions));
    assert.deepEqual(positions, desktop[k], file);
  });
});

// The real documents of the tests, each the description of a still sequence of its own play.
function documentPlays() {
  const dir = join(root, 'tests/data/rtf');
  return readdirSync(dir).filter((f) => f.endsWith('.rtf')).map((f) => {
    const rtf = readFileSync(join(dir, f)).toString('latin1').replace(/\r?\n/g, '\r\n').replace(/(\r\n)+$/, '');
    const play = ['Version  = Basketball Drillpad 0.3', 'Type     = Play', 'Category = Documents', `Playname = ${f}`,
      'Nr_seq   = 1', 'Animation= No', 'Sequence = 1', rtf, 'Nr_parts = 1', 'Number   = 3', 'Kind     = Court',
      'X1       = 0', 'Y1       = 0', 'X2       = 999', 'Y2       = 0', 'Colour   = 0', ''].join('\r\n');
    const path = join(scratch, `${f}.kqz`);
    writeFileSync(path, Buffer.from(play, 'latin1'));
    return path;
  });
}

test('the description of every sequence and every real document is the HTML text --html writes', () => {
  for (const file of [...kqz(join(root, 'samples')), ...documentPlays()]) {
    open(file);
    for (const s of info(file).sequences) {
      const html = execFileSync(cli, ['text', file, '--seq', String(s.index), '--html'], { encoding: 'utf8' });
      assert.equal(viewer.descriptionHtml(s.index), html, `${file} sequence ${s.index}`);
    }
  }
});
