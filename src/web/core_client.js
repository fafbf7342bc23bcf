// The page's side of the core: starts the worker with the module and the fonts embedded in
// the page, and turns the worker's messages into calls on a view. A page that brings its
// own play (instead of a file input) uses this as it stands.

// Embedded data: <script type="application/octet-stream" id=...> holding base64 of gzip.
async function embedded(id) {
  const text = document.getElementById(id).textContent.trim();
  const packed = Uint8Array.from(atob(text), (c) => c.charCodeAt(0));
  const stream = new Blob([packed]).stream().pipeThrough(new DecompressionStream('gzip'));
  return new Uint8Array(await new Response(stream).arrayBuffer());
}

// `view` has a method for each kind of message the worker sends (frame, counter, caption,
// description, opened, exported, increment), each given the message.
export async function startCore(view) {
  const names = JSON.parse(document.getElementById('core-font-names').textContent);
  const [wasm, workerSource, ...fonts] = await Promise.all([
    embedded('core-wasm'), embedded('core-worker'), ...names.map((_, i) => embedded(`core-font-${i}`)),
  ]);
  const url = URL.createObjectURL(new Blob([workerSource], { type: 'text/javascript' }));
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
  worker.postMessage({ op: 'init', wasm: wasm.buffer, fonts: names.map((name, i) => ({ name, bytes: fonts[i] })) },
    [wasm.buffer]);
  // Sends one operation; the promise settles once everything it caused has been shown.
  return function send(op, args = {}) {
    const id = ++next;
    return new Promise((resolve) => {
      pending.set(id, resolve);
      worker.postMessage({ ...args, op, id });
    });
  };
}
