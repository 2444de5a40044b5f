// The page: starts the work (in a worker where the browser allows one),
// collects files (a folder opened in place, the choosers, a drop), reads
// them and hands them over, and shows what comes back. Every verdict, name,
// explanation, picture and byte comes from the library.
'use strict';

const $ = (id) => document.getElementById(id);
let worker = null;
let started = 0;     // when the user gave the files
let readingDone = 0;  // when the last bytes were handed over
let total = 0;

// The work's thread: a worker made from the page's own scripts, or the
// page itself where the browser refuses that (some do on file://).
function startWork() {
  const source = ['library-js', 'worker-js'].map((id) => $(id).textContent).join('\n');
  const encoded = $('railview-wasm').textContent.trim();
  const wasm = Uint8Array.from(atob(encoded), (c) => c.charCodeAt(0));
  const onPage = () => {
    const handle = Jobs((data) => setTimeout(() => handlers[data.type](data), 0));
    return { postMessage: (data) => handle(data), onPage: true };
  };
  try {
    worker = new Worker(URL.createObjectURL(new Blob([source], { type: 'text/javascript' })));
    worker.onmessage = ({ data }) => handlers[data.type](data);
    worker.onerror = (e) => {
      e.preventDefault();
      if (document.body.dataset.state !== 'loading') return;
      worker = onPage();
      worker.postMessage({ type: 'init', wasm, language: Words.language });
    };
    worker.postMessage({ type: 'init', wasm: wasm.slice(), language: Words.language });
  } catch {
    worker = onPage();
    worker.postMessage({ type: 'init', wasm, language: Words.language });
  }
}
const post = (message, transfer) => (worker.onPage ? worker.postMessage(message) : worker.postMessage(message, transfer));

function setStatus(text, state) {
  $('status').textContent = text;
  if (state) document.body.dataset.state = state;
}
function progress(value, max) {
  $('progress').max = max;
  $('progress').value = value;
}
const seconds = (from, to = performance.now()) => ((to - from) / 1000).toFixed(2);

const handlers = {
  ready({ catalogue }) {
    Words.load('de', catalogue);
    document.body.dataset.state = 'ready';
    document.body.dataset.worker = worker.onPage ? 'page' : 'worker';
    for (const id of ['files', 'folder', 'open-folder']) $(id).disabled = false;
    label();
  },
  order({ order }) { ordered(order); },
  rows(data) {
    Table.add(data.rows);
    progress(data.done, data.total);
    setStatus(tn('Checked {done} of {n} file…', 'Checked {done} of {n} files…', data.total, { done: data.done }));
  },
  changes(data) {
    Folder.changesArrived(data);
  },
  done({ phases }) {
    Table.settle();
    Table.refresh();
    Folder.describe();
    const body = document.body.dataset;
    body.seconds = seconds(started);
    body.reading = seconds(started, readingDone);
    body.work = Object.values(phases).reduce((a, b) => a + b, 0).toFixed(2);
    body.phases = JSON.stringify(phases);
    progress(1, 1);
    setStatus(tn('Done: {n} file checked in {seconds} s.', 'Done: {n} files checked in {seconds} s.', total,
      { seconds: Number(body.seconds) }), 'done');
  },
  relabelled({ rows }) { Table.replace(rows); },
  details(data) { Details.detailsArrived(data); },
  rescue(data) { Rescue.arrived(data); },
  picture(data) { Details.pictureArrived(data); },
  zip(data) { Folder.zipArrived(data); },
  failed({ message }) { setStatus(t('Something went wrong: {message}', { message }), 'failed'); },
};

// Every word on the page in the language chosen: the texts of elements
// and the names of those that have no text, by id.
function pageWords() {
  const texts = {
    tagline: t('Checks your model-railway planning files and tidies them up, as railfmt does.'),
    intro: t('Layouts (.anl), rolling stock (.rol), models (.mod) and construction drawings (.kon) are read strictly, as the planning program writes them. Files that can be tidied are written back in normal form: bridges and buffer stops are placed on their tracks again, doubled models and leftover entries are removed, and everything is stored in one fixed order. Damaged files are found and left alone.'),
    privacy: t('Everything happens in this browser: no file leaves your computer, and your files stay as they are until you say otherwise.'),
    'open-heading': t('Open your planning files'),
    'open-folder': t('Open folder'),
    'files-label': t('Choose files'),
    'folder-label': t('Choose a folder'),
    'drop-hint': 'showDirectoryPicker' in window
      ? t('“Open folder” lets the page write the tidied files into the folder when you ask it to. You can also drop files or a folder here.')
      : t('You can also drop files or a folder here. The tidied files come as a zip to download.'),
    'results-heading': t('Your files'),
    'filter-label': t('Show'),
    'sort-label': t('Sort by'),
    'search-label': t('Find'),
    'col-file': t('File'),
    'col-result': t('Result'),
    'col-kind': t('Kind'),
    'col-commands': t('Commands'),
  };
  const names = { progress: t('Progress'), summary: t('Summary'), languages: t('Language') };
  return { texts, names };
}

function label() {
  document.title = t('railview: check and tidy model-railway planning files');
  const { texts, names } = pageWords();
  for (const [id, text] of Object.entries(texts)) $(id).textContent = text;
  for (const [id, name] of Object.entries(names)) $(id).setAttribute('aria-label', name);
  for (const b of document.querySelectorAll('[data-language]')) {
    b.setAttribute('aria-pressed', String(b.dataset.language === Words.language));
  }
  const state = document.body.dataset.state;
  if (state === 'ready') setStatus(t('Ready: open a folder or choose files.'));
  if (state === 'done') {
    setStatus(tn('Done: {n} file checked in {seconds} s.', 'Done: {n} files checked in {seconds} s.', total,
      { seconds: Number(document.body.dataset.seconds) }));
  }
  Table.labelControls();
  Details.label();
  if (state === 'done') Folder.describe();
}

function rowCommands(row) {
  const buttons = [button(row.kind ? t('Details') : t('Why?'), () => Details.show(row),
    { 'aria-label': t('Details of {name}', { name: row.path + row.name }) })];
  if (Rescue.offered(row)) {
    buttons.push(button(t('Rescue'), () => Rescue.open(row), { 'aria-label': t('Rescue {name}', { name: row.path + row.name }) }));
  }
  const change = Folder.changeOf(row);
  if (change) {
    buttons.push(button(t('Download'), () => save(new Blob([change.bytes]), change.name),
      { 'aria-label': t('Download {name}', { name: change.name }) }));
  }
  return buttons;
}

// The files to check: [{path (the folder's, ending in '/' or empty), name,
// file (a File), handle?, directory?}], and the folders with their
// subfolders' names. The worker names the order to read them in (the one
// that lets its run go on soonest); the bytes are read many files at once
// (one blob made of a chunk of files, cut up again by their sizes; one by
// one only when a file changed meanwhile), several chunks at a time, and
// handed over as they come, while the run goes on.
let ordered = null;  // resolves with the order the worker names
async function start(files, subfolders, directory = null) {
  if (files.length === 0 && subfolders.length === 0) return;
  started = performance.now();
  total = files.length;
  Details.close();
  Table.clear();
  Rescue.clear();
  Folder.begin(directory);
  $('results-section').hidden = false;
  progress(0, 1);
  setStatus(tn('Reading {n} file…', 'Reading {n} files…', total), 'working');

  const numbers = new Map();
  const numberOf = (path) => {
    if (!numbers.has(path)) numbers.set(path, numbers.size);
    return numbers.get(path);
  };
  const names = files.map((f) => ({ folder: numberOf(f.path), name: f.name }));
  const subs = subfolders.map(({ path, name }) => ({ folder: numberOf(path), name }));
  const folders = [...numbers].map(([path, number]) => ({ number, path }));
  const order = await new Promise((resolve) => {
    ordered = resolve;
    post({ type: 'names', folders, subfolders: subs, names, language: Words.language });
  });
  for (const f of files) {
    Folder.addRead(numberOf(f.path), f.path, f.directory ?? null, [{ name: f.name, handle: f.handle, size: f.file.size,
      lastModified: f.file.lastModified }]);
  }

  const CHUNK = 128;
  const AT_ONCE = 4;
  const chunks = [];
  for (let i = 0; i < order.length; i += CHUNK) chunks.push(order.slice(i, i + CHUNK));
  const reads = [];
  const read = (c) => (reads[c] ??= readChunk(chunks[c].map((id) => files[id])));
  let done = 0;
  for (let c = 0; c < chunks.length; c++) {
    for (let ahead = c; ahead < Math.min(chunks.length, c + AT_ONCE); ahead++) read(ahead);
    const { buffers, bytes } = await read(c);
    reads[c] = null;
    post({ type: 'bytes', items: chunks[c].map((id, j) => ({ id, bytes: bytes[j] })) }, buffers);
    done += chunks[c].length;
    setStatus(tn('Read {done} of {n} file…', 'Read {done} of {n} files…', total, { done }));
  }
  readingDone = performance.now();
}

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

// A folder opened in place: every file and subfolder under it, each folder
// run as railfmt runs in it. Files are looked up many at a time.
async function openDirectory(directory) {
  const files = [];
  const subfolders = [];
  async function walk(dir, path) {
    const found = [];
    for await (const entry of dir.values()) {
      if (entry.kind === 'directory') {
        subfolders.push({ path, name: entry.name });
        await walk(entry, `${path}${entry.name}/`);
      } else {
        found.push(entry);
      }
    }
    const AT_ONCE = 32;
    for (let i = 0; i < found.length; i += AT_ONCE) {
      const looked = await Promise.all(found.slice(i, i + AT_ONCE).map(async (handle) => {
        try {
          return { path, name: handle.name, handle, directory: dir, file: await handle.getFile() };
        } catch {
          return { path, name: handle.name, handle, directory: dir, file: new File([], handle.name) };
        }
      }));
      files.push(...looked);
    }
  }
  await walk(directory, `${directory.name}/`);
  await start(files, subfolders, directory);
}

// Files from a chooser or a drop: their folders are the paths they give;
// a folder that holds another is told of it, as railfmt sees it there.
function fromPaths(list) {
  const files = list.map(({ path, file }) => {
    const slash = path.lastIndexOf('/');
    return { path: path.slice(0, slash + 1), name: path.slice(slash + 1), file };
  });
  const subfolders = new Map();
  for (const { path } of files) {
    const parts = path.split('/').filter(Boolean);
    for (let i = 1; i < parts.length; i++) {
      const parent = `${parts.slice(0, i).join('/')}/`;
      subfolders.set(`${parent}${parts[i]}`, { path: parent, name: parts[i] });
    }
  }
  return start(files, [...subfolders.values()]);
}
const chosen = (list) => [...list].map((file) => ({ path: file.webkitRelativePath || file.name, file }));

async function walkDropped(entry, out) {
  if (entry.isFile) {
    const file = await new Promise((resolve, reject) => entry.file(resolve, reject));
    out.push({ path: entry.fullPath.replace(/^\//, ''), file });
  } else if (entry.isDirectory) {
    const reader = entry.createReader();
    for (let batch; (batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject))).length > 0;) {
      for (const child of batch) await walkDropped(child, out);
    }
  }
}

function setUp() {
  $('open-folder').hidden = !('showDirectoryPicker' in window);
  $('open-folder').addEventListener('click', async () => {
    try {
      await openDirectory(await window.showDirectoryPicker({ id: 'railview', mode: 'read' }));
    } catch (e) {
      if (e.name !== 'AbortError') setStatus(t('Something went wrong: {message}', { message: e.message }), 'failed');
    }
  });
  $('files').addEventListener('change', (e) => fromPaths(chosen(e.target.files)));
  $('folder').addEventListener('change', (e) => fromPaths(chosen(e.target.files)));
  const drop = $('drop');
  drop.addEventListener('dragover', (e) => { e.preventDefault(); drop.classList.add('over'); });
  drop.addEventListener('dragleave', () => drop.classList.remove('over'));
  drop.addEventListener('drop', async (e) => {
    e.preventDefault();
    drop.classList.remove('over');
    const entries = [...e.dataTransfer.items].map((item) => item.webkitGetAsEntry?.()).filter(Boolean);
    if (entries.length === 0) return fromPaths(chosen(e.dataTransfer.files));
    const files = [];
    for (const entry of entries) await walkDropped(entry, files);
    return fromPaths(files);
  });
  for (const b of document.querySelectorAll('[data-language]')) {
    b.addEventListener('click', () => {
      Words.set(b.dataset.language, true);
      label();
      if (Table.rows().length > 0) post({ type: 'relabel', language: Words.language });
    });
  }
  Table.setCommands(rowCommands);
  const request = (type, row, extra = {}) => post({ type, folder: row.folder, k: row.k, language: Words.language, ...extra });
  Details.setRequest(request);
  Details.setRejected(Rescue.commands);
  Rescue.setRequest(request);
  Folder.setPost(post);
  Folder.setCheckAgain(openDirectory);
  startWork();
}

// The page's own entry points, for a browser test: it hands the page a
// directory it made (the origin's private file system stands in for the
// user's), and reads every row, drawn or not.
const rowFacts = ({ path, name, verdict, text, warnings, attention, kind, output, action }) =>
  ({ path, name, verdict, text, warnings, attention, kind, output, action });
window.railview = {
  openDirectory,
  rows: () => Table.rows().map(rowFacts),
  shown: () => Table.shown().map(rowFacts),
};
setUp();
