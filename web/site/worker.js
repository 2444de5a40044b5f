// The work, off the page's thread when the browser allows a worker: takes
// the files' bytes as the page reads them, runs the library over each
// folder of them, reports the rows and the progress as it goes, and answers
// requests for a row's details and picture and for a zip.
//
// The same code runs in a worker (made from this text) or, where a browser
// refuses workers to a page opened from disk, on the page itself: Jobs
// takes the function that posts replies.
'use strict';

function Jobs(post) {
  let library = null;
  let runs = [];   // by folder number
  let paths = [];  // by folder number: the folder's path
  let phases = {};  // seconds spent on each part of the work
  let queue = Promise.resolve();
  // Yields to the browser now and then, so that a page doing the work
  // itself still paints its progress.
  const breathe = () => new Promise((resolve) => setTimeout(resolve, 0));
  const onPage = typeof WorkerGlobalScope === 'undefined';

  const jobs = {
    async init({ wasm, language }) {
      Library.compile(wasm);
      library = await Library.load();
      post({ type: 'ready', catalogue: library.catalogue('de'), language });
    },
    begin() {
      for (const run of runs) run?.free();
      runs = [];
      paths = [];
      phases = { adding: 0, run: 0, changes: 0 };
    },
    // Folders as {number, path}; their subfolders as {folder, name} and
    // files as {folder, name, bytes}, in the order the user gave them.
    files({ folders, subfolders, files }) {
      const started = performance.now();
      for (const { number, path } of folders) {
        runs[number] ??= library.newRun();
        paths[number] = path;
      }
      for (const { folder, name } of subfolders) runs[folder].addFolder(name);
      for (const { folder, name, bytes } of files) runs[folder].addFile(name, bytes);
      phases.adding += (performance.now() - started) / 1000;
    },
    // Runs railfmt over every folder, one entry at a time: the rows as
    // they come, then what each run leaves different.
    async process({ total, language }) {
      let done = 0;
      for (const [number, run] of runs.entries()) {
        if (!run) continue;
        const path = paths[number];
        const started = performance.now();
        const count = run.start(language);
        let rows = [];
        let sent = started;
        for (let k = 0; k < count; k++) {
          rows.push({ folder: number, k, path, ...run.row(k) });
          if (performance.now() - sent > 100 || k + 1 === count) {
            done += rows.length;
            post({ type: 'rows', rows, done, total });
            rows = [];
            if (onPage) await breathe();
            sent = performance.now();
          }
        }
        const finishing = performance.now();
        const { changes, mismatches } = run.finish();
        phases.run += (finishing - started) / 1000;
        phases.changes += (performance.now() - finishing) / 1000;
        post({ type: 'changes', folder: number, path, changes, mismatches }, changes.map((c) => c.bytes.buffer));
      }
      post({ type: 'done', total, phases });
    },
    // The rows again, their words in another language: the same run, in
    // other words.
    relabel({ language }) {
      const rows = [];
      for (const [number, run] of runs.entries()) {
        if (!run) continue;
        const count = run.start(language);
        for (let k = 0; k < count; k++) rows.push({ folder: number, k, path: paths[number], ...run.row(k) });
      }
      post({ type: 'relabelled', rows });
    },
    details({ folder, k }) {
      post({ type: 'details', folder, k, document: runs[folder].document(k) });
    },
    picture({ folder, k, width, height }) {
      post({ type: 'picture', folder, k, picture: runs[folder].picture(k, width, height) });
    },
    zip({ files, time }) {
      const bytes = library.zip(files, time);
      post({ type: 'zip', bytes }, [bytes.buffer]);
    },
  };

  return (data) => {
    // One job at a time, in the order they came.
    queue = queue.then(() => jobs[data.type](data)).catch(async (error) => {
      // A trap leaves the instance unusable: a fresh one from the module
      // compiled at start-up serves what comes next.
      if (error instanceof WebAssembly.RuntimeError) {
        library = await Library.load();
        runs = [];
        paths = [];
      }
      post({ type: 'failed', message: String(error?.message ?? error) });
    });
  };
}

if (typeof WorkerGlobalScope !== 'undefined' && self instanceof WorkerGlobalScope) {
  const handle = Jobs((message, transfer) => self.postMessage(message, transfer ?? []));
  self.onmessage = ({ data }) => handle(data);
}
