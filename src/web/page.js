// The page: the window's controls, keys, layouts and sketching around the court, shaped
// for a browser. What the core shows arrives from the worker (core_client.js). The
// one-play page (body.play-page) holds its play instead of a file input, keeps the play's
// name as its title, and takes a finger's swipes and taps on the court.

import { startCore } from './core_client.js';
import { unpacked } from './embedded.js';

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
const playPage = document.body.classList.contains('play-page');
// The pace slider's named steps, in milliseconds per step.
const kPaces = [['slow', 80], ['normal', 20], ['fast', 5]];

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
  caption({ text }) { if (!playPage) document.title = text; },
  description({ html }) { $('description').srcdoc = html; },
  opened({ result }) {
    if (result.category !== null) $('category').textContent = result.category;
    if (result.play_name !== null) $('play-name').textContent = result.play_name;
    if (result.caption !== null && !playPage) document.title = result.caption;
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

const portrait = matchMedia('(max-aspect-ratio: 1/1)');

function chooseScale() {
  if (fixedScale !== null) return fixedScale;
  const area = $('court-area');
  if (state.presenting) return Math.max(0.1, (window.innerHeight * ratio() - 48) / kCourtHeight);
  // Upright, the court takes the width and the page scrolls; else it fits its place.
  const wide = (area.clientWidth * ratio()) / kCourtWidth;
  const s = portrait.matches ? wide : Math.min(wide, (area.clientHeight * ratio()) / kCourtHeight);
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

// Full screen where the browser allows it; where it does not (a phone's browser may keep
// full screen for videos), the page itself takes the whole window.
function present() {
  if (document.fullscreenElement) return document.exitFullscreen();
  if (state.presenting) return setPresenting(false);
  const page = document.documentElement;
  if (document.fullscreenEnabled && page.requestFullscreen) page.requestFullscreen().catch(() => setPresenting(true));
  else setPresenting(true);
}

function setPresenting(on) {
  if (on === state.presenting) return;
  state.presenting = on;
  document.body.classList.toggle('presenting', state.presenting);
  $('controls').classList.remove('hidden');
  state.panelAt = null;
  layout(true);
}

document.addEventListener('fullscreenchange', () => setPresenting(Boolean(document.fullscreenElement)));

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

async function open(file, name = file?.name) {
  if (!file) return;
  state.fileName = name;
  await state.send('open', { blob: file, name });
}

if (!playPage) {
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
}

// --- controls and keys -----------------------------------------------------------------------

for (const op of ['play', 'step', 'pause', 'stop', 'previous', 'next']) $(op).addEventListener('click', () => state.send(op));
$('sketch').addEventListener('change', (e) => state.send('sketch', { checked: e.target.checked }));
$('loop').addEventListener('change', (e) => state.send('loop', { checked: e.target.checked }));
$('present').addEventListener('click', present);
if (!playPage) {
  $('export-png').addEventListener('click', () =>
    state.send('exportPng', { scale: state.scale, sketch: $('sketch').checked }));
  $('export-gif').addEventListener('click', () =>
    state.send('exportGif', { scale: state.scale, sketch: $('sketch').checked, speed: speed() }));
}

function speed() {
  const v = Math.round(Number($('speed').value));
  return Math.min(10000, Math.max(1, Number.isFinite(v) ? v : 20));
}
$('speed').addEventListener('change', () => {
  $('speed').value = speed();
  showPace();
  state.send('speed', { ms: speed() });
});

// The pace slider sets the speed to one of its named steps; the number beside it holds the
// exact milliseconds, and a speed between the steps leaves the slider at the nearest.
function showPace() {
  const ms = speed();
  let nearest = 0;
  kPaces.forEach(([, v], i) => { if (Math.abs(Math.log(v / ms)) < Math.abs(Math.log(kPaces[nearest][1] / ms))) nearest = i; });
  $('pace').value = String(nearest);
  const exact = kPaces.find(([, v]) => v === ms);
  $('pace-name').textContent = exact ? exact[0] : `${ms} ms`;
  $('pace').setAttribute('aria-valuetext', exact ? `${exact[0]}, ${ms} ms` : `${ms} ms`);
}
$('pace').addEventListener('input', () => {
  $('speed').value = kPaces[Number($('pace').value)][1];
  $('speed').dispatchEvent(new Event('change'));
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
  if (target instanceof HTMLInputElement && target.type === 'range') return key !== ' ';
  if (target instanceof HTMLSelectElement) return true;
  if (target instanceof HTMLButtonElement || target instanceof HTMLInputElement) return key === ' ';
  return false;
}

document.addEventListener('keydown', (e) => {
  if (e.ctrlKey || e.altKey || e.metaKey || $('message').open) return;
  // Browsers leave full screen on Esc themselves; where one hands the key to the page, so does it.
  if (e.key === 'Escape' && (document.fullscreenElement || state.presenting)) {
    if (document.fullscreenElement) document.exitFullscreen();
    else setPresenting(false);
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

// On the one-play page a finger does not sketch: a swipe left or right goes to the next or
// the previous sequence, a tap plays or pauses. A mouse or a pen sketches there too.
const kSwipePixels = 40;
const kTapPixels = 12;
let touch = null;

court.addEventListener('pointerdown', (e) => {
  if (e.button !== 0) return;
  if (playPage && e.pointerType === 'touch') {
    touch = { id: e.pointerId, x: e.clientX, y: e.clientY };
    return;
  }
  court.setPointerCapture(e.pointerId);
  state.send('penDown', { ...picturePoint(e), colour: Number($('colour').value) });
});
court.addEventListener('pointermove', (e) => {
  if (!court.hasPointerCapture(e.pointerId)) return;
  for (const p of e.getCoalescedEvents ? e.getCoalescedEvents() : [e]) state.send('penMove', picturePoint(p));
});
court.addEventListener('pointerup', (e) => {
  if (touch?.id !== e.pointerId) return state.send('penUp');
  const [dx, dy] = [e.clientX - touch.x, e.clientY - touch.y];
  touch = null;
  if (Math.abs(dx) >= kSwipePixels && Math.abs(dx) > 2 * Math.abs(dy)) state.send(dx < 0 ? 'next' : 'previous');
  else if (Math.hypot(dx, dy) <= kTapPixels) state.send('playPause');
  return undefined;
});
// The browser took the touch to scroll the page.
court.addEventListener('pointercancel', (e) => {
  if (touch?.id === e.pointerId) touch = null;
  else state.send('penUp');
});

// --- start -----------------------------------------------------------------------------------

export async function startPage() {
  state.send = await startCore(view);
  fitCanvas();
  await layout(false);
  const held = $('play-data');
  if (held) await open(await new Response(unpacked(held.textContent)).blob(), held.dataset.name);
  // For the tests and for pages that embed the viewer.
  window.hoopcast = { send: state.send, open, idle: () => state.send('sync') };
  performance.mark('hoopcast-ready');
  document.body.dataset.ready = 'true';
}

startPage();
