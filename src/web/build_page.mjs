// Writes the page as one file that works opened from disk: the styles and scripts inline,
// the module, the worker's script and the fonts as gzip in base64 (see embedded.js), so
// nothing is fetched from anywhere. Beside it the one-play page's template, which
// `hoopcast-cli export -o PLAY.html` fills with a play, its title and the fonts the play
// draws with: the viewer without a file input or downloads.
//   node build_page.mjs CORE_DIR FONT_DIR OUT.html PLAY_TEMPLATE.html
import { readFileSync, readdirSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';

const [coreDir, fontDir, outFile, templateFile] = process.argv.slice(2);
const here = new URL('.', import.meta.url).pathname;
const source = (name) => readFileSync(join(here, name), 'utf8');

// Our modules joined into one script: their imports are of each other, listed in order.
function joinModules(names) {
  return names
    .map((name) =>
      source(name)
        .replace(/^import .* from '.*';\n/gm, '')
        .replace(/^export (async function|function|const|class) /gm, '$1 '),
    )
    .join('\n');
}

const packed = (bytes) => gzipSync(bytes, { level: 9 }).toString('base64');
const data = (id, bytes) => `<script type="application/octet-stream" id="${id}">${packed(bytes)}</script>`;

const fonts = readdirSync(fontDir).filter((f) => f.endsWith('.ttf')).sort();
const worker = `${readFileSync(join(coreDir, 'hoopcast_web.js'), 'utf8')}\n${joinModules(['embedded.js', 'worker.js'])}`;
// The worker's script and the module come before the page's script, which hands them to
// the worker at once, so that the module compiles while the fonts after it are still read.
const core = [data('core-wasm', readFileSync(join(coreDir, 'hoopcast_web.wasm'))), data('core-worker', Buffer.from(worker))];
const fontData = [
  `<script type="application/json" id="core-font-names">${JSON.stringify(fonts)}</script>`,
  ...fonts.map((f, i) => data(`core-font-${i}`, readFileSync(join(fontDir, f)))),
];

// The parts between <!--@KIND--> and <!--@END--> belong to one of the pages only.
const only = (html, kept, dropped) => html
  .replace(new RegExp(`<!--@${dropped}-->[^]*?<!--@END-->\\n?`, 'g'), '')
  .replace(new RegExp(`<!--@${kept}-->([^]*?)<!--@END-->`, 'g'), '$1');

const shared = source('page.html')
  .replace('/*@PAGE_CSS@*/', () => source('page.css'))
  .replace('<!--@CORE_DATA@-->', () => core.join('\n'))
  .replace('/*@PAGE_SCRIPT@*/', () => `(() => {\n'use strict';\n${joinModules(['embedded.js', 'core_client.js', 'page.js'])}\n})();`);
writeFileSync(outFile, only(shared, 'VIEWER', 'PLAY').replace('<!--@FONT_DATA@-->', () => fontData.join('\n')));
writeFileSync(templateFile, only(shared, 'PLAY', 'VIEWER')
  .replace('<title>Basketball Hoopcast</title>', '<title>@PLAY_TITLE@</title>')
  .replace('<body>', '<body class="play-page">'));
