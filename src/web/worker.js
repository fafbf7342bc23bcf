// The core's thread: the viewer in WebAssembly, its three timers on the browser's clock, and
// the play file read a slice at a time. The page sends what the user did; this sends back
// what to show. Runs as a Web Worker, or in Node for the tests (see startCore).

/* global createHoopcastCore */

import { unpacked } from './embedded.js';

// Slices of the file read at once: the reader asks for small pieces, and each read of a
// slice of a File costs a round trip.
const kSliceBytes = 4 << 20;

// A play file as the reader's source: read(offset, size) gives the bytes there. `readSlice`
// reads a slice of the blob synchronously (FileReaderSync in a worker).
export function sliceSource(blob, readSlice) {
  let start = 0;
  let slice = new Uint8Array(0);
  return {
    read(offset, size) {
      try {
        if (offset < start || offset + size > start + slice.length) {
          start = offset;
          slice = readSlice(blob, offset, Math.min(blob.size, offset + Math.max(size, kSliceBytes)));
        }
        return slice.subarray(offset - start, Math.min(slice.length, offset - start + size));
      } catch (e) {
        return { error: String(e && e.message ? e.message : e) };
      }
    },
  };
}

// Starts the viewer on `core` (the module) and returns a function that takes the page's
// messages; `post(message, transfer)` sends to the page.
export function startViewer(core, post) {
  const timers = [null, null, null, null];
  let viewer = null;
  const host = {
    frame(width, height, left, top, w, h, rgba) {
      // The view is into the module's memory: the page gets a copy of its own.
      const pixels = new Uint8ClampedArray(rgba.slice().buffer);
      post({ kind: 'frame', width, height, left, top, w, h, pixels }, [pixels.buffer]);
    },
    counter(text) { post({ kind: 'counter', text }); },
    caption(text) { post({ kind: 'caption', text }); },
    description(html) { post({ kind: 'description', html }); },
    // A periodic timer as the window's: each tick one call, the beat kept from its start.
    timer(which, enabled, interval) {
      clearTimeout(timers[which]);
      timers[which] = null;
      if (!enabled) return;
      let due = performance.now() + interval;
      const fire = () => {
        due = Math.max(due + interval, performance.now());
        timers[which] = setTimeout(fire, due - performance.now());
        viewer.tick(which);
      };
      timers[which] = setTimeout(fire, interval);
    },
  };
  viewer = new core.Viewer(host);

  const handlers = {
    open({ blob, name }, readSlice) {
      const result = viewer.open(sliceSource(blob, readSlice), blob.size, name);
      post({ kind: 'opened', result });
    },
    layout({ scale, screenHeight, maximized, redraw }) {
      viewer.setLayout(scale, screenHeight);
      viewer.setMaximized(maximized);
      if (redraw) viewer.resized();
    },
    play() { viewer.play(); },
    step() { viewer.step(); },
    pause() { viewer.pause(); },
    playPause() { viewer.playPause(); },
    stop() { viewer.stop(); },
    previous() { viewer.previous(); },
    next() { viewer.next(); },
    sketch({ checked }) { viewer.setSketch(checked); },
    loop({ checked }) { viewer.setLoop(checked); },
    speed({ ms }) { post({ kind: 'increment', value: viewer.setSpeed(ms) }); },
    // Answers once everything sent before it has been done and shown.
    sync() {},
    showCourt() { if (!viewer.busy()) viewer.showCourt(); },
    penDown({ x, y, colour }) { viewer.sketchBegin(x, y, colour); },
    penMove({ x, y }) { viewer.sketchTo(x, y); },
    penUp() { viewer.sketchEnd(); },
    exportPng({ scale, sketch }) { exported('png', viewer.exportPng(scale, sketch)); },
    exportGif({ scale, sketch, speed }) { exported('gif', viewer.exportGif(scale, sketch, speed)); },
  };
  function exported(format, bytes) {
    if (bytes === null) post({ kind: 'exported', format, error: viewer.error() });
    else post({ kind: 'exported', format, bytes }, [bytes.buffer]);
  }
  return (message, readSlice) => {
    handlers[message.op](message, readSlice);
    // Everything the message caused has been posted before this.
    post({ kind: 'done', id: message.id });
  };
}

// The module with the fonts in its file system. `wasm` is the module's bytes, or a Response
// whose body they are, compiled as they arrive; `fonts` are [{name, bytes}], or a promise of them.
export async function startCore(wasm, fonts) {
  const options = { print() {}, printErr() {} };
  if (wasm instanceof Response) {
    options.instantiateWasm = (imports, done) => {
      WebAssembly.instantiateStreaming(wasm, imports).then((r) => done(r.instance, r.module));
      return {};
    };
  } else {
    options.wasmBinary = wasm;
  }
  const core = await createHoopcastCore(options);
  core.FS.mkdir('/fonts');
  for (const { name, bytes } of await fonts) core.FS.writeFile(`/fonts/${name}`, bytes);
  return core;
}

// In a Web Worker: the first message brings the module and the second the fonts, as the page
// embeds them; what the page asks before the viewer is ready waits.
if (typeof WorkerGlobalScope !== 'undefined' && self instanceof WorkerGlobalScope) {
  const readSlice = (blob, from, to) => new Uint8Array(new FileReaderSync().readAsArrayBuffer(blob.slice(from, to)));
  let handle = null;
  const queue = [];
  let fontsGiven;
  const fonts = new Promise((resolve) => { fontsGiven = resolve; });
  self.onmessage = async ({ data }) => {
    if (data.op === 'init') {
      const wasm = new Response(unpacked(data.wasm), { headers: { 'Content-Type': 'application/wasm' } });
      const core = await startCore(wasm, fonts);
      handle = startViewer(core, (m, transfer) => self.postMessage(m, transfer || []));
      self.postMessage({ kind: 'ready' });
      for (const m of queue.splice(0)) handle(m, readSlice);
    } else if (data.op === 'fonts') {
      fontsGiven(Promise.all(data.fonts.map(async ({ name, base64 }) =>
        ({ name, bytes: new Uint8Array(await new Response(unpacked(base64)).arrayBuffer()) }))));
    } else if (handle) {
      handle(data, readSlice);
    } else {
      queue.push(data);
    }
  };
}
