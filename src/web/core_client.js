// The page's side of the core: starts the worker with the module and the fonts embedded in
// the page, and turns the worker's messages into calls on a view. A page that brings its
// own play (instead of a file input) uses this as it stands.

import { unpacked } from './embedded.js';

const embedded = (id) => document.getElementById(id).textContent;

// `view` has a method for each kind of message the worker sends (frame, counter, caption,
// description, opened, exported, increment), each given the message.
export async function startCore(view) {
  // The page holds the worker's script and the module before this script: the worker starts
  // and compiles the module while the page reads on, and takes the fonts once they are read.
  const script = await new Response(unpacked(embedded('core-worker'))).blob();
  const url = URL.createObjectURL(new Blob([script], { type: 'text/javascript' }));
  const worker = new Worker(url);
  URL.revokeObjectURL(url);
  let next = 0;
  const pending = new Map();
  worker.onmessage = ({ data }) => {
    if (data.kind === 'done') {
      pending.get(data.id)?.();
      pending.delete(data.id);
    } else if (data.kind !== 'ready') {
      view[data.kind](data);
    }
  };
  worker.postMessage({ op: 'init', wasm: embedded('core-wasm') });
  if (document.readyState === 'loading') await new Promise((r) => document.addEventListener('DOMContentLoaded', r));
  const names = JSON.parse(embedded('core-font-names'));
  worker.postMessage({ op: 'fonts', fonts: names.map((name, i) => ({ name, base64: embedded(`core-font-${i}`) })) });
  // Sends one operation; the promise settles once everything it caused has been shown.
  return function send(op, args = {}) {
    const id = ++next;
    return new Promise((resolve) => {
      pending.set(id, resolve);
      worker.postMessage({ ...args, op, id });
    });
  };
}
