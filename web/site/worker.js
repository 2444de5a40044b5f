// The work, off the page's thread when the browser allows a worker: takes
// the names of the files, tells the page in which order to read them, runs
// the library over each folder as far as the bytes that came allow, reports
// the rows and the progress as it goes, and answers requests for a row's
// details, picture and rescue and for a zip.
//
// The same code runs in a worker (made from this text) or, where a browser
// refuses workers to a page opened from disk, on the page itself: Jobs
// takes the function that posts replies.
'use strict';

function Jobs(post) {
  let library = null;
  let runs = [];    // by folder number: {run, path, rows (the number given), count}
  let files = [];   // by the page's file number: {folder, file (the run's number)}
  let filled = 0;   // files whose bytes came
  let language = 'en';
  let phases = {};  // seconds spent on each part of the work
  let queue = Promise.resolve();
  // Yields to the browser now and then, so that a page doing the work
  // itself still paints its progress.
  const breathe = () => new Promise((resolve) => setTimeout(resolve, 0));
  const onPage = typeof WorkerGlobalScope === 'undefined';
  const timed = (phase, work) => {
    const started = performance.now();
    const result = work();
    phases[phase] += (performance.now() - started) / 1000;
    return result;
  };
  const rowsOf = (number, from, to) => {
    const rows = [];
    for (let k = from; k < to; k++) rows.push({ folder: number, k, path: runs[number].path, ...runs[number].run.row(k) });
    return rows;
  };
  const total = () => runs.reduce((n, r) => n + (r?.count ?? 0), 0);

  // Every row the bytes that came allow, posted; once all are in, what
  // each run leaves different, made again first where a run went too far.
  async function advance() {
    let rows = [];
    let done = 0;
    for (const [number, r] of runs.entries()) {
      if (!r) continue;
      const ready = timed('run', () => r.run.ready());
      rows.push(...rowsOf(number, r.rows, ready));
      r.rows = ready;
      done += ready;
    }
    if (rows.length > 0) post({ type: 'rows', rows, done, total: total() });
    if (filled < files.length || done < total()) return;
    if (runs.some((r) => r?.run.stale())) {
      jobs.relabel({ language });
      if (onPage) await breathe();
    }
    for (const [number, r] of runs.entries()) {
      if (!r) continue;
      const { changes, mismatches } = timed('changes', () => r.run.finish());
      post({ type: 'changes', folder: number, path: r.path, changes, mismatches }, changes.map((c) => c.bytes.buffer));
    }
    post({ type: 'done', total: total(), phases });
  }

  const jobs = {
    async init({ wasm, language: chosen }) {
      Library.compile(wasm);
      library = await Library.load();
      post({ type: 'ready', catalogue: library.catalogue('de'), language: chosen });
    },
    // A new set of folders: {number, path}; their subfolders {folder,
    // name}; their files {folder, name}, numbered in the order given. The
    // page is told in which order to read the files.
    async names({ folders, subfolders, names, language: chosen }) {
      for (const r of runs) r?.run.free();
      runs = [];
      files = [];
      filled = 0;
      language = chosen;
      phases = { adding: 0, run: 0, changes: 0 };
      for (const { number, path } of folders) runs[number] = { run: library.newRun(), path, rows: 0, count: 0 };
      for (const { folder, name } of subfolders) runs[folder].run.addFolder(name);
      for (const { folder, name } of names) files.push({ folder, file: runs[folder].run.addFile(name) });
      const order = [];
      for (const [number, r] of runs.entries()) {
        if (!r) continue;
        r.count = r.run.start(language);
        const byFile = new Map();
        files.forEach((f, id) => { if (f.folder === number) byFile.set(f.file, id); });
        for (const file of r.run.readOrder()) order.push(byFile.get(file));
      }
      post({ type: 'order', order, total: total() });
      if (files.length === 0) await advance();
    },
    // Bytes of files: {id, bytes}.
    async bytes({ items }) {
      timed('adding', () => {
        for (const { id, bytes } of items) runs[files[id].folder].run.fill(files[id].file, bytes);
      });
      filled += items.length;
      await advance();
    },
    // The rows again, their words in another language: the same run, made
    // again in other words.
    relabel({ language: chosen }) {
      language = chosen;
      const rows = [];
      for (const [number, r] of runs.entries()) {
        if (!r) continue;
        timed('run', () => {
          r.run.start(language);
          r.rows = r.run.ready();
        });
        rows.push(...rowsOf(number, 0, r.rows));
      }
      post({ type: 'relabelled', rows });
    },
    details({ folder, k }) {
      post({ type: 'details', folder, k, document: runs[folder].run.document(k) });
    },
    picture({ folder, k, width, height }) {
      post({ type: 'picture', folder, k, picture: runs[folder].run.picture(k, width, height) });
    },
    rescue({ folder, k }) {
      const rescue = runs[folder].run.rescue(k);
      post({ type: 'rescue', folder, k, rescue }, rescue?.bytes ? [rescue.bytes.buffer] : []);
    },
    zip({ files: zipped, time }) {
      const bytes = library.zip(zipped, time);
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
        files = [];
      }
      post({ type: 'failed', message: String(error?.message ?? error) });
    });
  };
}

if (typeof WorkerGlobalScope !== 'undefined' && self instanceof WorkerGlobalScope) {
  const handle = Jobs((message, transfer) => self.postMessage(message, transfer ?? []));
  self.onmessage = ({ data }) => handle(data);
}
