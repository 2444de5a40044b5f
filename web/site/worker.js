// Does the work off the page's thread: reads the files it is given, runs the
// library over each folder of them, reports the rows and the progress as it
// goes, and answers requests for a row's details and for a zip.
import { loadLibrary } from './library.js';

let library = loadLibrary();
let runs = [];          // by folder number, while their details may be asked for
let queue = Promise.resolve();
const READ_AHEAD = 512;  // files read at once: the browser opens them in parallel

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
  async process({ files }) {
    for (const run of runs) run.free();
    runs = [];
    const folders = new Map();
    for (const f of files) {
      const folder = f.path.includes('/') ? f.path.slice(0, f.path.lastIndexOf('/') + 1) : '';
      if (!folders.has(folder)) folders.set(folder, []);
      folders.get(folder).push(f);
    }
    const total = files.length;
    let done = 0;
    let reading = 0;  // milliseconds spent waiting for the browser to read files
    const lib = await library;
    for (const [folder, members] of folders) {
      const run = lib.newRun();
      const number = runs.push(run) - 1;
      for (let i = 0; i < members.length; i += READ_AHEAD) {
        const chunk = members.slice(i, i + READ_AHEAD);
        const t = performance.now();
        const contents = await Promise.all(chunk.map((f) => f.file.arrayBuffer()));
        reading += performance.now() - t;
        chunk.forEach((f, j) => run.add(f.path.slice(folder.length), new Uint8Array(contents[j])));
      }
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
    self.postMessage({ type: 'done', total, reading });
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
