// Makes the page one self-contained file, railview.html: the style, the
// scripts (classic ones, which browsers run on a page opened from disk) and
// the WebAssembly (base64, in a data block) inlined into the template. The
// page's content security policy allows exactly these inline scripts and
// this style, by their SHA-256 hashes, and nothing from anywhere else.
//   node bundle.mjs TEMPLATE STYLE WASM OUT SCRIPT...
// A script's id in the page is its file name with '-' for '.' (app-js).
import { createHash } from 'node:crypto';
import { readFileSync, writeFileSync } from 'node:fs';
import { basename } from 'node:path';

const [template, style, wasm, out, ...scripts] = process.argv.slice(2);
if (!out || scripts.length === 0) {
  console.error('usage: node bundle.mjs TEMPLATE STYLE WASM OUT SCRIPT...');
  process.exit(2);
}

const hash = (text) => `'sha256-${createHash('sha256').update(text, 'utf8').digest('base64')}'`;
const css = readFileSync(style, 'utf8');
const inline = scripts.map((path) => {
  const text = readFileSync(path, 'utf8');
  if (text.includes('</script')) throw new Error(`${path} holds "</script", which would end its element`);
  return { id: basename(path).replace('.', '-'), text };
});
const policy = [
  "default-src 'none'",
  `script-src ${inline.map((s) => hash(s.text)).join(' ')} 'wasm-unsafe-eval'`,
  `style-src ${hash(css)}`,
  'img-src blob: data:',
  'worker-src blob:',
  "base-uri 'none'",
  "form-action 'none'",
].join('; ');
const blocks = [
  `<script type="application/octet-stream" id="railview-wasm">${readFileSync(wasm).toString('base64')}</script>`,
  ...inline.map((s) => `<script id="${s.id}">${s.text}</script>`),
].join('\n');

// Replacement functions, so that no '$' in the inlined text is taken for a pattern.
const page = readFileSync(template, 'utf8')
  .replace('@CSP@', () => policy)
  .replace('@STYLE@', () => css)
  .replace('@SCRIPTS@', () => blocks);
writeFileSync(out, page);
