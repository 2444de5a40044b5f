// Does the work off the page's thread: takes the files' bytes as the page
// reads them, runs the library over each folder of them, reports the rows
// and the progress as it goes, and answers requests for a row's details and
// for a zip.
import { loadLibrary } from './library.js';

let library = loadLibrary();
let runs = [];              // by folder number, while their details may be asked for
let folders = new Map();    // folder path → its run, while files come in
let queue = Promise.resolve();

library.then(
  () => self.postMessage({ type: 'ready' }),
  (error) => self.postMessage({ type: 'failed', message: `the library did not load: ${error}` }),
);

self.onmessage = ({ data }) => {
  // One job at a time, in the order they came.
  queue = queue.then(() => jobs[data.type](data)).catch((error) => {
    // A trap leaves the instance unusable: a fresh one from the module
    // compiled at start-up serves what comes next.
    if (error instanceof WebAssembly.RuntimeError) {
      library = loadLibrary();
      runs = [];
    }
    self.postMessage({ type: 'failed', message: String(error.message ?? error) });
  });
};

const jobs = {
  async begin() {
    for (const run of runs) run.free();
    runs = [];
    folders = new Map();
  },
  // Files as {path, bytes}, in the order the user gave them.
  async files({ files }) {
    const lib = await library;
    for (const { path, bytes } of files) {
      const folder = path.slice(0, path.lastIndexOf('/') + 1);
      if (!folders.has(folder)) folders.set(folder, runs.push(lib.newRun()) - 1);
      runs[folders.get(folder)].add(path.slice(folder.length), bytes);
    }
  },
  async process({ total }) {
    let done = 0;
    for (const [folder, number] of folders) {
      const run = runs[number];
      const count = run.start();
      let rows = [];
      let sent = performance.now();
      for (let k = 0; k < count; k++) {
        rows.push({ folder: number, k, path: folder, report: run.visit(k) });
        if (performance.now() - sent > 100 || k + 1 === count) {
          done += rows.length;
          self.postMessage({ type: 'rows', rows, done, total });
          rows = [];
          sent = performance.now();
        }
      }
      const { files: written, mismatches } = run.finish();
      self.postMessage({ type: 'written', folder: number, path: folder, files: written, mismatches },
        written.map((f) => f.bytes.buffer));
    }
    self.postMessage({ type: 'done', total });
  },
  details({ folder, k }) {
    const run = runs[folder];
    self.postMessage({ type: 'details', folder, k, json: run.document(k), svg: run.picture(k) });
  },
  async zip({ files }) {
    const bytes = (await library).zip(files);
    self.postMessage({ type: 'zip', bytes }, [bytes.buffer]);
  },
};
