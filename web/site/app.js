// The page: collects files (choosers, drop), hands them to the worker and
// shows what comes back. Every verdict, name, explanation, picture and byte
// comes from the library; this file only lays them out.
const $ = (id) => document.getElementById(id);
const worker = new Worker(new URL('./worker.js', import.meta.url), { type: 'module' });
const encoder = new TextEncoder();
const decoder = new TextDecoder('utf-8');
let rows = [];     // {folder, k, path, report, element}
let written = [];  // by folder: {path, files: Map(name → {name, bytes})}
let shown = null;  // the row whose details are open
let picture = '';  // its SVG
let started = 0;   // when the files were handed over

function el(tag, text, attributes = {}) {
  const e = document.createElement(tag);
  if (text !== undefined) e.textContent = text;
  for (const [k, v] of Object.entries(attributes)) e.setAttribute(k, v);
  return e;
}
function button(text, label, onClick) {
  const b = el('button', text, { type: 'button', 'aria-label': label });
  b.addEventListener('click', onClick);
  return b;
}
function setStatus(text, state) {
  $('status').textContent = text;
  if (state) document.body.dataset.state = state;
}
function save(blob, name) {
  const a = el('a', undefined, { href: URL.createObjectURL(blob), download: name });
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(a.href), 60_000);
}

worker.onmessage = ({ data }) => handlers[data.type](data);
const handlers = {
  ready() {
    for (const id of ['files', 'folder']) $(id).disabled = false;
    setStatus('Ready: drop or choose files.', 'ready');
  },
  rows(data) {
    const body = $('results').tBodies[0];
    for (const row of data.rows) body.append(addRow(row));
    $('progress').max = 2 * data.total;  // reading was the first half
    $('progress').value = data.total + data.done;
    setStatus(`Checked ${data.done} of ${data.total} files…`);
  },
  written({ folder, path, files }) {
    written[folder] = { path, files: new Map(files.map((f) => [decoder.decode(f.name), f])) };
    for (const row of rows.filter((r) => r.folder === folder)) {
      const out = written[folder].files.get(row.report.output_name);
      if (out) {
        row.element.lastChild.append(button('Download', `Download ${row.report.output_name}`, () =>
          save(new Blob([out.bytes]), row.report.output_name)));
      }
    }
  },
  done({ total }) {
    const count = written.reduce((n, w) => n + w.files.size, 0);
    $('download-all').disabled = count === 0;
    document.body.dataset.seconds = ((performance.now() - started) / 1000).toFixed(2);
    setStatus(`Done: ${total} files checked, ${count} written, in ${document.body.dataset.seconds} s ` +
      `(${document.body.dataset.reading} s of it reading them).`, 'done');
  },
  details(data) {
    const row = rows.find((r) => r.folder === data.folder && r.k === data.k);
    if (row === shown) showDetails(row, data);
  },
  zip({ bytes }) { save(new Blob([bytes], { type: 'application/zip' }), 'railfmt-output.zip'); },
  failed({ message }) { setStatus(`Something went wrong: ${message}`, 'failed'); },
};

function start(files) {
  if (files.length === 0) return;
  rows = [];
  written = [];
  $('results').tBodies[0].replaceChildren();
  $('results-section').hidden = false;
  $('download-all').disabled = true;
  $('progress').value = 0;
  setStatus(`Reading ${files.length} files…`, 'working');
  started = performance.now();
  read(files);
}

// The browser pays for every file it opens on its own: a chunk of files is
// read as one blob made of them all and cut up again by their sizes (one by
// one only when a file changed meanwhile). The bytes go to the worker
// transferred, not copied, as they come.
async function readChunk(chunk) {
  try {
    const all = new Uint8Array(await new Blob(chunk.map((f) => f.file)).arrayBuffer());
    let at = 0;
    return { buffers: [all.buffer], bytes: chunk.map((f) => all.subarray(at, (at += f.file.size))) };
  } catch {
    const contents = await Promise.all(chunk.map((f) => f.file.arrayBuffer().catch(() => new ArrayBuffer(0))));
    return { buffers: contents, bytes: contents.map((c) => new Uint8Array(c)) };
  }
}

async function read(files) {
  const AT_ONCE = 512;
  worker.postMessage({ type: 'begin' });
  for (let i = 0; i < files.length; i += AT_ONCE) {
    const chunk = files.slice(i, i + AT_ONCE);
    const { buffers, bytes } = await readChunk(chunk);
    worker.postMessage({ type: 'files', files: chunk.map((f, j) => ({ path: f.path, bytes: bytes[j] })) }, buffers);
    $('progress').max = 2 * files.length;
    $('progress').value = i + chunk.length;
    setStatus(`Read ${i + chunk.length} of ${files.length} files…`);
  }
  document.body.dataset.reading = ((performance.now() - started) / 1000).toFixed(2);
  worker.postMessage({ type: 'process', total: files.length });
}

// What railfmt does with the file, in a few words; the full sentence is the
// library's and shows in the details.
function verdict(r) {
  const p = r.railfmt;
  const n = (x) => x.toLocaleString('en');
  switch (p.action) {
    case 'unchanged': return 'unchanged';
    case 'change': return `would change ${n(p.input_size)} → ${n(p.output_size)} bytes`;
    case 'create': return `would write ${p.output_name} (new)`;
    case 'replace': return `would replace ${p.output_name}`;
    case 'refuse': return 'writes nothing: unsafe name in the file';
    case 'skip': return 'skipped: railfmt passes over this name';
    default: return r.recognised ? 'left alone' : 'not recognised';
  }
}

function addRow(row) {
  const r = row.report;
  const path = row.path + r.entry_name;
  const tr = el('tr', undefined, { 'data-action': r.railfmt.action });
  const rejected = r.railfmt.action === 'none' && !r.recognised;
  tr.append(el('th', path, { scope: 'row' }), el('td', r.kind ?? '—'), el('td', r.output_name ?? '—'));
  tr.append(el('td', verdict(r), { class: r.railfmt.action, title: r.railfmt.text }));
  const commands = el('td', undefined, { class: 'commands' });
  commands.append(button(rejected ? 'Why?' : 'Details', `Details of ${path}`, () => {
    shown = row;
    worker.postMessage({ type: 'details', folder: row.folder, k: row.k });
  }));
  tr.append(commands);
  rows.push(Object.assign(row, { element: tr }));
  return tr;
}

// Details: the library's sentence, every kind's failing check for a file
// none accepted, the picture and the content for one that was.
function showDetails(row, { json, svg }) {
  const r = row.report;
  $('details-heading').textContent = `${row.path}${r.entry_name}: ${r.recognised ? r.kind : 'not recognised'}`;
  $('summary').textContent = r.railfmt.text;
  $('checks').replaceChildren(...(r.recognised ? [] : checks(r)));
  $('picture-part').hidden = !r.recognised;
  $('json-part').hidden = !r.recognised;
  picture = svg;
  const old = $('picture').src;
  if (old.startsWith('blob:')) URL.revokeObjectURL(old);
  if (r.recognised) {
    // An <img> shows the SVG without running anything that might be in it.
    $('picture').src = URL.createObjectURL(new Blob([svg], { type: 'image/svg+xml' }));
    $('picture').alt = `Picture of ${r.entry_name}`;
    $('viewport').setAttribute('aria-label', `Picture of ${r.entry_name}`);
    $('json').replaceChildren(tree(JSON.parse(json).content, 'content', true));
  }
  if (!$('details').open) $('details').showModal();
  $('details-heading').focus();
}

function checks(r) {
  const parts = [el('p', r.most_likely ? `Most likely a ${r.most_likely}. Every kind's reader, as railfmt tries them:`
    : 'Every kind\'s reader, as railfmt tries them:')];
  for (const a of r.attempts) {
    const part = el('section', undefined, { class: 'attempt', 'aria-label': a.kind });
    part.append(el('h3', `${a.kind}: stopped at byte ${a.stop_offset}`), el('p', a.reason, { class: 'reason' }));
    const said = el('ul');
    for (const s of a.said) {
      const li = el('li');
      li.append(el('code', s.text, { class: s.mismatch ? 'mismatch' : 'message' }), el('span', ` — ${s.explanation}`));
      said.append(li);
    }
    part.append(said);
    parts.push(part);
  }
  if (r.hex_window) parts.push(el('h3', `The bytes around byte ${r.hex_window.stop}`), hex(r.hex_window));
  return parts;
}

// The hex window: 16 bytes a line, the bytes to blame marked.
function hex(w) {
  const bytes = w.bytes.split(' ').filter(Boolean);
  const pre = el('pre', undefined, { class: 'hex' });
  for (let i = 0; i < bytes.length; i += 16) {
    pre.append(`${(w.begin + i).toString(16).padStart(8, '0')} `);
    let ascii = '';
    for (let j = i; j < Math.min(i + 16, bytes.length); j++) {
      const at = w.begin + j;
      pre.append(' ', at >= w.mark[0] && at < w.mark[1] ? el('mark', bytes[j]) : bytes[j]);
      const c = parseInt(bytes[j], 16);
      ascii += c >= 32 && c < 127 ? String.fromCharCode(c) : '.';
    }
    pre.append(`${'   '.repeat(16 - Math.min(16, bytes.length - i))}  ${ascii}\n`);
  }
  return pre;
}

// A collapsible view of JSON: objects and arrays open on demand, so a large
// content costs nothing until looked at.
function tree(value, key, open = false) {
  if (value === null || typeof value !== 'object') return el('div', `${key}: ${JSON.stringify(value)}`, { class: 'leaf' });
  const node = el('details');
  const size = Array.isArray(value) ? `[${value.length}]` : `{${Object.keys(value).length}}`;
  node.append(el('summary', `${key} ${size}`));
  node.addEventListener('toggle', () => {
    if (node.open && node.children.length === 1) {
      for (const [k, v] of Object.entries(value)) node.append(tree(v, k));
    }
  });
  node.open = open;
  return node;
}

// The picture: dragged, wheeled, keyed or fitted into its frame.
const view = { x: 0, y: 0, scale: 1 };
const img = $('picture');
const frame = $('viewport');
function applyView() { img.style.transform = `translate(${view.x}px, ${view.y}px) scale(${view.scale})`; }
function fit() {
  const w = img.naturalWidth || 1000;
  const h = img.naturalHeight || 800;
  view.scale = Math.min(frame.clientWidth / w, frame.clientHeight / h);
  view.x = (frame.clientWidth - w * view.scale) / 2;
  view.y = (frame.clientHeight - h * view.scale) / 2;
  applyView();
}
function zoom(factor, px = frame.clientWidth / 2, py = frame.clientHeight / 2) {
  view.x = px - (px - view.x) * factor;
  view.y = py - (py - view.y) * factor;
  view.scale *= factor;
  applyView();
}
img.addEventListener('load', fit);
$('fit').addEventListener('click', fit);
$('close').addEventListener('click', () => $('details').close());
$('zoom-in').addEventListener('click', () => zoom(1.25));
$('zoom-out').addEventListener('click', () => zoom(0.8));
$('save-picture').addEventListener('click', () =>
  save(new Blob([picture], { type: 'image/svg+xml' }), `${shown.report.entry_name}.svg`));
frame.addEventListener('keydown', (e) => {
  const step = 40;
  const keys = {
    '+': () => zoom(1.25), '=': () => zoom(1.25), '-': () => zoom(0.8), 0: fit,
    ArrowLeft: () => { view.x += step; applyView(); }, ArrowRight: () => { view.x -= step; applyView(); },
    ArrowUp: () => { view.y += step; applyView(); }, ArrowDown: () => { view.y -= step; applyView(); },
  };
  if (!keys[e.key]) return;
  keys[e.key]();
  e.preventDefault();
});
frame.addEventListener('wheel', (e) => {
  const box = frame.getBoundingClientRect();
  zoom(e.deltaY < 0 ? 1.1 : 1 / 1.1, e.clientX - box.left, e.clientY - box.top);
  e.preventDefault();
}, { passive: false });
frame.addEventListener('pointerdown', (e) => {
  const from = { x: e.clientX - view.x, y: e.clientY - view.y };
  frame.setPointerCapture(e.pointerId);
  const move = (m) => { view.x = m.clientX - from.x; view.y = m.clientY - from.y; applyView(); };
  frame.addEventListener('pointermove', move);
  frame.addEventListener('pointerup', () => frame.removeEventListener('pointermove', move), { once: true });
});

// Opening files: the choosers, and a drop of files or folders.
const chosen = (list) => [...list].map((file) => ({ path: file.webkitRelativePath || file.name, file }));
$('files').addEventListener('change', (e) => start(chosen(e.target.files)));
$('folder').addEventListener('change', (e) => start(chosen(e.target.files)));
$('download-all').addEventListener('click', () => {
  const files = written.flatMap((w) => [...w.files.values()].map((f) => {
    const prefix = encoder.encode(w.path);
    const name = new Uint8Array(prefix.length + f.name.length);
    name.set(prefix);
    name.set(f.name, prefix.length);
    return { name, bytes: f.bytes };  // copied to the worker, kept here
  }));
  worker.postMessage({ type: 'zip', files });
});
const drop = $('drop');
drop.addEventListener('dragover', (e) => { e.preventDefault(); drop.classList.add('over'); });
drop.addEventListener('dragleave', () => drop.classList.remove('over'));
drop.addEventListener('drop', async (e) => {
  e.preventDefault();
  drop.classList.remove('over');
  const entries = [...e.dataTransfer.items].map((item) => item.webkitGetAsEntry?.()).filter(Boolean);
  if (entries.length === 0) return start(chosen(e.dataTransfer.files));
  const files = [];
  for (const entry of entries) await walk(entry, files);
  start(files);
});
async function walk(entry, out) {
  if (entry.isFile) {
    const file = await new Promise((resolve, reject) => entry.file(resolve, reject));
    out.push({ path: entry.fullPath.replace(/^\//, ''), file });
  } else if (entry.isDirectory) {
    const reader = entry.createReader();
    for (let batch; (batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject))).length > 0;) {
      for (const child of batch) await walk(child, out);
    }
  }
}
