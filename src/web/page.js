// The page: the window's controls, keys, layouts and sketching around the court, shaped
// for a browser. What the core shows arrives from the worker (core_client.js).

import { startCore } from './core_client.js';

const $ = (id) => document.getElementById(id);
const court = $('court');
const context = court.getContext('2d');

// The sketch colour picker's 16 standard colours (0x00BBGGRR), blue first chosen.
const kColours = [
  ['Black', 0x000000], ['Maroon', 0x000080], ['Green', 0x008000], ['Olive', 0x008080],
  ['Navy', 0x800000], ['Purple', 0x800080], ['Teal', 0x808000], ['Gray', 0x808080],
  ['Silver', 0xc0c0c0], ['Red', 0x0000ff], ['Lime', 0x00ff00], ['Yellow', 0x00ffff],
  ['Blue', 0xff0000], ['Fuchsia', 0xff00ff], ['Aqua', 0xffff00], ['White', 0xffffff],
];
const kDefaultColour = 'Blue';
const kCourtWidth = 289;
const kCourtHeight = 361;

// ?scale=S fixes the court's scale (tests, embedding); otherwise it fills its place.
const fixedScale = (() => {
  const s = Number(new URLSearchParams(location.search).get('scale'));
  return Number.isFinite(s) && s > 0 ? s : null;
})();

const state = { fileName: '', scale: 0, presenting: false, messages: [], send: null, framed: false };

// --- what the core shows ---------------------------------------------------------------------

const view = {
  frame({ width, height, left, top, w, h, pixels }) {
    if (court.width !== width || court.height !== height) {
      court.width = width;
      court.height = height;
      fitCanvas();
      placePanel();
    }
    if (w > 0 && h > 0) context.putImageData(new ImageData(pixels, w, h), left, top);
    // For the benchmark of the page's start (bench/web.sh).
    if (!state.framed) performance.mark('hoopcast-first-frame');
    state.framed = true;
  },
  counter({ text }) { $('counter').textContent = text; },
  caption({ text }) { document.title = text; },
  description({ html }) { $('description').srcdoc = html; },
  opened({ result }) {
    if (result.category !== null) $('category').textContent = result.category;
    if (result.play_name !== null) $('play-name').textContent = result.play_name;
    if (result.caption !== null) document.title = result.caption;
    if (result.outcome !== 'success') showMessage(result.box === 'information' ? 'Information' : 'Error', result.message);
  },
  exported({ format, bytes, error }) {
    if (!bytes) return showMessage('Error', error);
    const stem = state.fileName.replace(/\.[^.]*$/, '') || 'play';
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], { type: format === 'png' ? 'image/png' : 'image/gif' }));
    link.download = format === 'png' ? `${stem}-seq${$('counter').textContent.split('/')[0]}.png` : `${stem}.gif`;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 0);
  },
  increment({ value }) { $('speed').dataset.increment = value; },
};

// --- messages: the window's message boxes, one at a time -------------------------------------

function showMessage(title, text) {
  state.messages.push([title, text]);
  if (!$('message').open) nextMessage();
}

function nextMessage() {
  const next = state.messages.shift();
  if (!next) return;
  $('message-title').textContent = next[0];
  $('message-text').textContent = next[1];
  $('message').showModal();
}
$('message').addEventListener('close', nextMessage);

// --- layout: the court's backing store is the core's picture, pixel for pixel ----------------

const ratio = () => window.devicePixelRatio || 1;

// The picture shown at its own size in device pixels, never stretched.
function fitCanvas() {
  court.style.width = `${court.width / ratio()}px`;
  court.style.height = `${court.height / ratio()}px`;
}

function chooseScale() {
  if (fixedScale !== null) return fixedScale;
  const area = $('court-area');
  if (state.presenting) return Math.max(0.1, (window.innerHeight * ratio() - 48) / kCourtHeight);
  const s = Math.min((area.clientWidth * ratio()) / kCourtWidth, (area.clientHeight * ratio()) / kCourtHeight);
  return Math.max(1, Math.floor(s * 100) / 100);
}

function layout(redraw) {
  const scale = chooseScale();
  const changed = scale !== state.scale;
  state.scale = scale;
  placePanel();
  return state.send('layout', {
    scale,
    screenHeight: Math.round(screen.height * ratio()),
    maximized: state.presenting,
    redraw: redraw && changed,
  });
}

new ResizeObserver(() => state.send && layout(true)).observe($('court-area'));

// --- presentation: full screen, the court at the screen's height, the floating panel ---------

function present() {
  if (document.fullscreenElement) document.exitFullscreen();
  else document.documentElement.requestFullscreen?.().catch(() => {});
}

document.addEventListener('fullscreenchange', () => {
  state.presenting = Boolean(document.fullscreenElement);
  document.body.classList.toggle('presenting', state.presenting);
  $('controls').classList.remove('hidden');
  state.panelAt = null;
  layout(true);
});

function placePanel(at) {
  const panel = $('controls');
  if (!state.presenting) {
    panel.style.left = panel.style.top = '';
    return;
  }
  if (at) state.panelAt = at;
  const rect = court.getBoundingClientRect();
  const [x, y] = state.panelAt || [rect.right + 5, 5];
  panel.style.left = `${Math.min(x, window.innerWidth - panel.offsetWidth)}px`;
  panel.style.top = `${y}px`;
}

$('hide-panel').addEventListener('click', () => {
  $('controls').classList.add('hidden');
  state.send('showCourt');
});

$('stage').addEventListener('contextmenu', (e) => {
  if (!state.presenting) return;
  e.preventDefault();
  $('controls').classList.remove('hidden');
  placePanel([e.clientX, e.clientY]);
  state.send('showCourt');
});

// A click beside the court redraws it while stopped, wiping the sketches, as a click on the
// window's background does.
$('stage').addEventListener('pointerdown', (e) => {
  if (e.button === 0 && (e.target === $('stage') || e.target === $('court-area'))) state.send('showCourt');
});

// --- opening plays ---------------------------------------------------------------------------

async function open(file) {
  if (!file) return;
  state.fileName = file.name;
  await state.send('open', { blob: file, name: file.name });
}

$('open').addEventListener('change', (e) => {
  open(e.target.files[0]);
  e.target.value = '';
});
document.addEventListener('dragover', (e) => {
  if (e.dataTransfer.types.includes('Files')) e.preventDefault();
});
document.addEventListener('drop', (e) => {
  e.preventDefault();
  open(e.dataTransfer.files[0]);
});

// --- controls and keys -----------------------------------------------------------------------

for (const op of ['play', 'pause', 'stop', 'previous', 'next']) $(op).addEventListener('click', () => state.send(op));
$('sketch').addEventListener('change', (e) => state.send('sketch', { checked: e.target.checked }));
$('loop').addEventListener('change', (e) => state.send('loop', { checked: e.target.checked }));
$('present').addEventListener('click', present);
$('export-png').addEventListener('click', () =>
  state.send('exportPng', { scale: state.scale, sketch: $('sketch').checked }));
$('export-gif').addEventListener('click', () =>
  state.send('exportGif', { scale: state.scale, sketch: $('sketch').checked, speed: speed() }));

function speed() {
  const v = Math.round(Number($('speed').value));
  return Math.min(10000, Math.max(1, Number.isFinite(v) ? v : 20));
}
$('speed').addEventListener('change', () => {
  $('speed').value = speed();
  state.send('speed', { ms: speed() });
});
// The arrows step by the window's increment: a tenth of the value's hundreds, at least 1.
$('speed').addEventListener('keydown', (e) => {
  if (e.key !== 'ArrowUp' && e.key !== 'ArrowDown') return;
  e.preventDefault();
  const step = Number($('speed').dataset.increment || 1);
  $('speed').value = Math.min(10000, Math.max(1, speed() + (e.key === 'ArrowUp' ? step : -step)));
  $('speed').dispatchEvent(new Event('change'));
});

for (const [name, colour] of kColours) {
  const option = new Option(name, String(colour), false, name === kDefaultColour);
  $('colour').add(option);
}

const kKeys = {
  ' ': 'playPause', ArrowLeft: 'previous', PageUp: 'previous', ArrowRight: 'next', PageDown: 'next', Home: 'stop',
};

// A focused control keeps the keys it uses itself.
function controlUses(target, key) {
  if (target instanceof HTMLInputElement && target.type === 'number') return key !== ' ' && key !== 'PageUp' && key !== 'PageDown';
  if (target instanceof HTMLSelectElement) return true;
  if (target instanceof HTMLButtonElement || target instanceof HTMLInputElement) return key === ' ';
  return false;
}

document.addEventListener('keydown', (e) => {
  if (e.ctrlKey || e.altKey || e.metaKey || $('message').open) return;
  // Browsers leave full screen on Esc themselves; where one hands the key to the page, so does it.
  if (e.key === 'Escape' && document.fullscreenElement) {
    document.exitFullscreen();
    return;
  }
  if ((e.key === 'f' || e.key === 'F') && !(e.target instanceof HTMLInputElement && e.target.type === 'number')) {
    e.preventDefault();
    present();
    return;
  }
  const op = kKeys[e.key];
  if (!op || controlUses(e.target, e.key)) return;
  e.preventDefault();
  state.send(op);
});

// --- sketching with mouse, pen or finger -----------------------------------------------------

function picturePoint(e) {
  const r = court.getBoundingClientRect();
  return {
    x: Math.floor(((e.clientX - r.left) * court.width) / r.width),
    y: Math.floor(((e.clientY - r.top) * court.height) / r.height),
  };
}

court.addEventListener('pointerdown', (e) => {
  if (e.button !== 0) return;
  court.setPointerCapture(e.pointerId);
  state.send('penDown', { ...picturePoint(e), colour: Number($('colour').value) });
});
court.addEventListener('pointermove', (e) => {
  if (!court.hasPointerCapture(e.pointerId)) return;
  for (const p of e.getCoalescedEvents ? e.getCoalescedEvents() : [e]) state.send('penMove', picturePoint(p));
});
for (const type of ['pointerup', 'pointercancel']) court.addEventListener(type, () => state.send('penUp'));

// --- start -----------------------------------------------------------------------------------

export async function startPage() {
  state.send = await startCore(view);
  fitCanvas();
  await layout(false);
  // For the tests and for pages that embed the viewer.
  window.hoopcast = { send: state.send, open, idle: () => state.send('sync') };
  performance.mark('hoopcast-ready');
  document.body.dataset.ready = 'true';
}

startPage();
