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

// sequences: [{ court, description, items: [lines of item()] }]
function play(name, sequences) {
  const lines = [
    'Version  = Basketball Drillpad 0.5', 'Type     = Play', 'Category = Web tests', `Playname = ${name}`,
    `Nr_seq   = ${sequences.length}`, 'Author   = ', 'Team     = ', 'Created  = ', 'Modified = ', 'Level    = ',
    'Players  = 5', 'Duration = 1', 'Tags     = ', 'Reserved = ', 'Animation= No',
  ];
  sequences.forEach((s, i) => {
    lines.push(`Sequence = ${i + 1}`, s.description ?? `Sequence ${i + 1}`, 'Focus    = ', '');
    const items = [item(s.court ?? 3, 'Court', 0, 0, { x2: 999 }), ...s.items];
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

const kSymbols = ['Circle', 'Circlef', 'Triangle', 'Triangf', 'Ball', 'Ballf', 'Coach', 'Rack', 'Pylon', 'Cross',
  'Crossf', 'Ocross', 'Ncross', 'Dchair', 'Ochair', 'Otriangl', 'Dcircle'];
const kLines = ['pass', 'dribbel', 'screen', 'shot', 'loop'];
const kColours = [0, 255, 65280, 16711680, 8421504, 32896, 8388736];

function mixedPlay(seed, courts) {
  const r = random(seed);
  return play(`Mixed ${seed}`, courts.map((court) => {
    const items = [];
    for (let k = 0; k < 10; ++k) {
      items.push(item(1 + k, kSymbols[r(kSymbols.length)], 10 + r(270), 10 + r(340), {
        e2: r(8) * 45, colour: kColours[r(kColours.length)], text: String(1 + (k % 5)),
      }));
    }
    for (let k = 0; k < 8; ++k) {
      items.push(item(20 + k, kLines[r(kLines.length)], 10 + r(270), 10 + r(340), {
        x2: 10 + r(270), y2: 10 + r(340), e1: r(3), colour: kColours[r(kColours.length)],
      }));
    }
    items.push(item(40, 'Text', 20 + r(100), 20 + r(300), { e1: 8 + r(20), e3: r(16), text: 'Box|and one', text2: 'Arial' }));
    return { court, items };
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
