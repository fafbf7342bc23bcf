// Test plays for the browser: every Windows-1252 character in each embedded family and style,
// and plays of every court kind, symbol and line, made from a fixed seed so each run draws
// the same. Written as version 0.5 files into a folder.
import { mkdirSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';

function item(number, kind, x1, y1, { x2 = 0, y2 = 0, e1 = 0, e2 = 0, e3 = 0, colour = 0, text = '', text2 = '' } = {}) {
  return [
    `Number   = ${number}`, `Kind     = ${kind}`, `X1       = ${x1}`, `Y1       = ${y1}`, `X2       = ${x2}`,
    `Y2       = ${y2}`, `Extra1   = ${e1}`, `Extra2   = ${e2}`, `Extra3   = ${e3}`, `Colour   = ${colour}`,
    `Text     = ${text}`, `Text2    = ${text2}`,
  ];
}

// sequences: [{ court, colours, still, description, items: [lines of item()] }]; colours
// are the court's four (0 for the defaults).
function play(name, sequences) {
  const lines = [
    'Version  = Basketball Drillpad 0.5', 'Type     = Play', 'Category = Web tests', `Playname = ${name}`,
    `Nr_seq   = ${sequences.length}`, 'Author   = ', 'Team     = ', 'Created  = ', 'Modified = ', 'Level    = ',
    'Players  = 5', 'Duration = 1', 'Tags     = ', 'Reserved = ',
  ];
  sequences.forEach((s, i) => {
    if (s.still ?? i === 0) lines.push('Animation= No');
    lines.push(`Sequence = ${i + 1}`, s.description ?? `Sequence ${i + 1}`, 'Focus    = ', '');
    const [e1, e2, e3, colour] = s.colours ?? [0, 0, 0, 0];
    const items = [item(s.court ?? 3, 'Court', 0, 0, { x2: 999, e1, e2, e3, colour }), ...s.items];
    lines.push(`Nr_parts = ${items.length}`, ...items.flat());
  });
  return Buffer.from(`${lines.join('\r\n')}\r\n`, 'latin1');
}

// Every byte a text can hold but the line break '|', in lines of 24.
function characterLines() {
  const bytes = [];
  for (let b = 0x21; b <= 0xff; ++b) if (b !== 0x7c) bytes.push(b);
  const lines = [];
  for (let i = 0; i < bytes.length; i += 24) lines.push(Buffer.from(bytes.slice(i, i + 24)).toString('latin1'));
  return lines;
}

function fontPlay(family) {
  const styles = [0, 1, 2 | 4, 1 | 2 | 8];
  return play(`${family} characters`, styles.map((style) => ({
    court: 12,
    items: [8, 11, 16].map((size, k) =>
      item(30 + k, 'Text', 4, 4 + k * 118, { e1: size, e3: style, text: characterLines().join('|'), text2: family })),
  })));
}

// A small generator of the same numbers on every machine.
function random(seed) {
  let s = seed >>> 0;
  return (n) => {
    s = (s * 1664525 + 1013904223) >>> 0;
    return s % n;
  };
}

const kSymbols = ['Circle', 'Circlef', 'Triangle', 'Triangf', 'Otriangl', 'Dcircle', 'Ochair', 'Dchair', 'Ocross',
  'Ncross', 'Cross', 'Crossf', 'Ball', 'Ballf', 'Coach', 'Rack', 'Pylon'];
const kLines = ['loop', 'ploop', 'pass', 'ppass', 'dribbel', 'pdribbel', 'screen', 'pscreen', 'shot'];
const kCurves = ['loop', 'pass', 'dribbel', 'screen'];
const kColours = [0, 255, 65280, 16711680, 8421504, 32896, 8388736, 0x99ccff];
// Families of the table and others, which take its default face.
const kFamilies = ['Arial', 'Times New Roman', 'Courier New', '', 'Verdana', 'Helvetica'];

// A play of `courts.length` sequences in which every kind is drawn: a cast of eleven symbols
// found again in every sequence (most in their own slot, two in swapped slots, one turning
// from circle to triangle and back), so that all are drawn and all move; straight lines of
// every kind, width and end; curves of several segments; texts in several fonts and styles;
// an ellipse and a polygon zone in tints of their own.
function mixedPlay(seed, courts) {
  const r = random(seed);
  const pick = (list) => list[r(list.length)];
  const at = () => [10 + r(260), 10 + r(330)];
  const kinds = [...kSymbols];
  for (let k = kinds.length - 1; k > 0; --k) {
    const j = r(k + 1);
    [kinds[k], kinds[j]] = [kinds[j], kinds[k]];
  }
  const cast = kinds.slice(0, 10).map((kind, k) => ({
    kind, number: 1 + (k % 5), colour: pick(kColours), text: pick(['', '', 'G', 'F', '12', '##']),
  }));
  cast.push({ kind: 'Circle', number: 9, colour: 0, text: '' });
  return play(`Mixed ${seed}`, courts.map((court, s) => {
    const items = [];
    const order = [...cast.keys()];
    if (s % 2 === 1) [order[2], order[7]] = [order[7], order[2]];
    for (const k of order) {
      const c = cast[k];
      const kind = c.number === 9 && s % 2 === 1 ? 'Triangle' : c.kind;
      items.push(item(c.number, kind, ...at(), { e2: r(8) * 45, colour: c.colour, text: c.text }));
    }
    for (let k = 0; k < 6; ++k) {
      items.push(item(20 + k, pick(kLines), ...at(), {
        x2: 10 + r(270), y2: 10 + r(340), e1: r(4), e3: r(2), colour: pick(kColours),
      }));
    }
    for (let chain = 0; chain < 2; ++chain) {
      const kind = pick(kCurves);
      let [x, y] = at();
      const segments = 1 + r(3);
      for (let k = 0; k <= segments; ++k) {
        const [x2, y2] = [Math.min(280, Math.max(5, x + r(120) - 60)), Math.min(350, Math.max(5, y + r(120) - 60))];
        items.push(item(30 + chain, k === segments ? `p${kind}` : kind, x, y, {
          x2, y2, e1: chain, e2: k === 0 ? 1 : 0, e3: r(2), colour: pick(kColours),
        }));
        [x, y] = [x2, y2];
      }
    }
    for (let k = 0; k < 2; ++k) {
      items.push(item(40 + k, 'Text', ...at(), {
        e1: 8 + r(16), e3: r(16), colour: pick(kColours), text: pick(['Box|and one', 'Zone 2-3', 'Trap!', '\xc9lan']),
        text2: pick(kFamilies),
      }));
    }
    const [zx, zy] = at();
    items.push(item(50, 'ellipse', zx, zy, { x2: zx + 20 + r(80), y2: zy + 20 + r(80), e1: r(2), e2: r(2), e3: 0, colour: pick(kColours) }));
    const corners = [at(), at(), at(), at()];
    corners.forEach(([x, y], k) => items.push(item(51, k === 3 ? 'ppoly' : 'poly', x, y, {
      e1: 0, e2: r(2), e3: r(2), colour: k === 3 ? pick(kColours) : 0,
    })));
    return { court, colours: s === 1 ? [0x99ffcc, 0x66ccff, 0xffffff, 0xcc99ff] : undefined, still: s === 1, items };
  }));
}

export function writeTestPlays(folder) {
  mkdirSync(folder, { recursive: true });
  const plays = {
    'fonts_sans.kqz': fontPlay('Arial'),
    'fonts_serif.kqz': fontPlay('Times New Roman'),
    'fonts_mono.kqz': fontPlay('Courier New'),
    'fonts_default.kqz': fontPlay(''),
  };
  const courts = [...Array(14).keys()];
  for (let i = 0; i < 8; ++i) plays[`mixed_${i + 1}.kqz`] = mixedPlay(i + 1, courts.slice((i * 5) % 14, ((i * 5) % 14) + 3));
  return Object.entries(plays).map(([name, bytes]) => {
    const path = join(folder, name);
    writeFileSync(path, bytes);
    return path;
  });
}

// A play whose description and label run over several of the page's 4 MiB slices, so that
// the reader looks ahead past a slice and comes back.
export function writeLongTextPlay(folder) {
  mkdirSync(folder, { recursive: true });
  const line = 'Rotate on the skip pass, then close out high hands. ';
  const description = Array.from({ length: 120000 }, (_, k) => `${k} ${line}`).join('\r\n');
  const label = Array.from({ length: 40000 }, (_, k) => `Box ${k} and one`).join('|');
  const path = join(folder, 'long_texts.kqz');
  writeFileSync(path, play('Long texts', [{ description, items: [item(40, 'Text', 20, 20, { e1: 10, text: label })] }]));
  return path;
}
