// The page's embedded data (the worker's script, the module, the fonts) is base64 of gzip,
// unpacked as it is read.
export function unpacked(base64) {
  let bytes;
  if (Uint8Array.fromBase64) {
    bytes = Uint8Array.fromBase64(base64);
  } else {
    const text = atob(base64);
    bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
  }
  return new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
}
