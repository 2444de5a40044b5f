// What railfmt would write, handed to the user: written into their own
// folder where the browser can (the File System Access API: "Apply"), or
// as a zip of the new and changed files with what to do with it.
//
// Apply writes exactly the files the library's run leaves different from
// what was read: the same names, new files and files whose bytes change,
// nothing for a file railfmt refuses. Before each write the file is looked
// at again: one whose size or modification time is no longer what was read
// (or a new name that now exists) is left alone and reported.
'use strict';

function save(blob, name) {
  const a = document.createElement('a');
  a.href = URL.createObjectURL(blob);
  a.download = name;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(a.href), 60_000);
}

const Folder = (() => {
  const $ = (id) => document.getElementById(id);
  // By folder number: {path, directory (a handle, or null), read: Map(name →
  // {handle (in place), size, lastModified}), changes: Map(name → {name,
  // created, bytes, rescued (a rescued file, not railfmt's)})}.
  let folders = [];
  let root = null;        // the directory handle opened, when one was
  let zipRequested = null;
  let onCheckAgain = () => {};

  const allChanges = () => folders.flatMap((f) => (f ? [...f.changes.values()].map((c) => ({ folder: f, change: c })) : []));

  // The part above the table that says what comes next. Rescued files
  // (only ever in the zip) are counted apart from what railfmt writes.
  function describe() {
    const part = $('next-step');
    const all = allChanges();
    const rescued = all.filter(({ change }) => change.rescued).length;
    const n = all.length - rescued;
    if (n + rescued === 0) {
      part.replaceChildren(el('p', t('Nothing to write: every file is already as railfmt would write it.'), { class: 'done' }));
      return;
    }
    if (root) {
      part.replaceChildren(
        el('p', tn('railfmt would write {n} file into the folder “{folder}”. Nothing has been changed yet.',
          'railfmt would write {n} files into the folder “{folder}”. Nothing has been changed yet.', n,
          { folder: root.name })),
        button(tn('Apply: write {n} file', 'Apply: write {n} files', n), apply, { id: 'apply', class: 'primary' }),
        el('p', t('Only new files and files whose content changes are written. A file that was changed since it was read is left alone.'),
          { class: 'hint' }));
      return;
    }
    const steps = el('ol', undefined, { class: 'steps' });
    steps.append(el('li', t('Keep a copy of your folder as it is.')),
      el('li', t('Unpack the zip into your folder and let its files replace those of the same name.')),
      el('li', t('Open the files in the planning program as usual.')));
    // The steps stay open where there is room for them.
    const howTo = el('details', undefined, { class: 'how-to' });
    howTo.open = !window.matchMedia('(max-width: 40rem)').matches;
    howTo.append(el('summary', t('What to do with the zip:')), steps);
    const said = n > 0
      ? tn('Your files have not been changed. The zip holds the {n} file railfmt would write: new and changed ones only.',
        'Your files have not been changed. The zip holds the {n} files railfmt would write: new and changed ones only.', n)
      : t('Your files have not been changed, and railfmt would write none of them.');
    const also = n > 0
      ? tn('It also holds {n} rescued file, beside the damaged file it comes from.',
        'It also holds {n} rescued files, each beside the damaged file it comes from.', rescued)
      : tn('The zip holds {n} rescued file, beside the damaged file it comes from.',
        'The zip holds {n} rescued files, each beside the damaged file it comes from.', rescued);
    part.replaceChildren(el('p', rescued > 0 ? `${said} ${also}` : said),
      button(tn('Download {n} file (zip)', 'Download {n} files (zip)', n + rescued), downloadZip,
        { id: 'download-zip', class: 'primary' }),
      howTo);
    if ('showDirectoryPicker' in window) {
      part.append(el('p', t('Or open the folder with “Open folder”: the page can then write the files into it itself.'),
        { class: 'hint' }));
    }
  }

  // The zip holds what goes into the folder the user gave: the paths
  // within it, without the folder's own name.
  function downloadZip() {
    const files = allChanges().map(({ folder, change }) => ({ name: folder.path + change.name, bytes: change.bytes }));
    const first = files[0]?.name.split('/')[0];
    if (files.every((f) => f.name.startsWith(`${first}/`))) {
      for (const f of files) f.name = f.name.slice(first.length + 1);
    }
    zipRequested = true;
    post({ type: 'zip', files, time: new Date() });
  }

  async function writable(directory) {
    if (!directory.queryPermission) return true;
    if ((await directory.queryPermission({ mode: 'readwrite' })) === 'granted') return true;
    return (await directory.requestPermission({ mode: 'readwrite' })) === 'granted';
  }
  async function exists(directory, name) {
    try {
      await directory.getFileHandle(name);
      return true;
    } catch (e) {
      if (e.name === 'NotFoundError') return false;
      return true;  // a folder of that name, or another reason not to write there
    }
  }

  // Whether a file read is still as it was read (its size and modification time).
  async function unchanged(read) {
    const now = await read.handle.getFile();
    return now.size === read.size && now.lastModified === read.lastModified;
  }
  async function store(handle, bytes) {
    const stream = await handle.createWritable({ keepExistingData: false });
    await stream.write(bytes);
    await stream.close();
  }

  // Writes one change; returns what became of it.
  async function write(folder, change) {
    const read = folder.read.get(change.name);
    let target = null;
    if (read && !change.created) {
      if (!(await unchanged(read))) return 'changed';
      target = read.handle;
    } else {
      if (await exists(folder.directory, change.name)) return 'appeared';
      target = await folder.directory.getFileHandle(change.name, { create: true });
    }
    await store(target, change.bytes);
    return 'written';
  }

  // Saves a rescued file beside the damaged one it comes from: only while
  // that file is as it was read, and never over a file of the same name.
  // Returns {outcome: 'written', 'changed', 'exists', 'refused' or
  // 'failed', message}.
  async function saveRescued(number, damaged, name, bytes) {
    const folder = folders[number];
    try {
      if (!(await writable(root).catch(() => false))) return { outcome: 'refused' };
      const read = folder.read.get(damaged);
      if (!read || !(await unchanged(read))) return { outcome: 'changed' };
      if (await exists(folder.directory, name)) return { outcome: 'exists' };
      await store(await folder.directory.getFileHandle(name, { create: true }), bytes);
      return { outcome: 'written' };
    } catch (e) {
      return { outcome: 'failed', message: e.message };
    }
  }

  async function apply() {
    $('apply').disabled = true;
    const outcome = { written: [], changed: [], appeared: [], failed: [] };
    if (!(await writable(root).catch(() => false))) {
      outcome.failed.push({ name: root.name, message: t('The browser was not allowed to write into the folder.') });
    } else {
      for (const { folder, change } of allChanges()) {
        const name = folder.path + change.name;
        try {
          outcome[await write(folder, change)].push({ name });
        } catch (e) {
          outcome.failed.push({ name, message: e.message });
        }
      }
    }
    report(outcome);
  }

  function report(outcome) {
    const body = [];
    const list = (names) => {
      const ul = el('ul', undefined, { class: 'names' });
      for (const { name, message } of names) ul.append(el('li', message ? `${name}: ${message}` : name));
      return ul;
    };
    body.push(el('p', tn('{n} file written.', '{n} files written.', outcome.written.length), { class: 'done' }));
    if (outcome.written.length > 0) body.push(list(outcome.written));
    if (outcome.changed.length > 0) {
      body.push(el('p', tn('{n} file was changed after it was read and was left alone:',
        '{n} files were changed after they were read and were left alone:', outcome.changed.length), { class: 'warning' }),
      list(outcome.changed));
    }
    if (outcome.appeared.length > 0) {
      body.push(el('p', tn('{n} new file was not written: a file of that name appeared after the folder was read:',
        '{n} new files were not written: files of those names appeared after the folder was read:',
        outcome.appeared.length), { class: 'warning' }), list(outcome.appeared));
    }
    if (outcome.failed.length > 0) {
      body.push(el('p', tn('{n} file could not be written:', '{n} files could not be written:', outcome.failed.length),
        { class: 'warning' }), list(outcome.failed));
    }
    const checkAgain = () => {
      $('report').close();
      onCheckAgain(root);
    };
    body.push(button(t('Check the folder again'), checkAgain, { id: 'check-again' }));
    // What the table shows is now the folder as it was before: said above it too.
    $('next-step').replaceChildren(
      el('p', tn('{n} file written.', '{n} files written.', outcome.written.length), { class: 'done' }),
      el('p', t('The table shows the folder as it was read. Check it again to see it as it is now.')),
      button(t('Check the folder again'), checkAgain));
    $('report-heading').textContent = t('What was written');
    $('report-body').replaceChildren(...body);
    document.body.dataset.applied = JSON.stringify({
      written: outcome.written.length, changed: outcome.changed.length, appeared: outcome.appeared.length,
      failed: outcome.failed.length,
    });
    $('report').showModal();
  }

  let post = () => {};
  return {
    setPost(p) { post = p; },
    setCheckAgain(f) { onCheckAgain = f; },
    // A new set of files: from a directory handle (root), or from choosers.
    begin(directory) {
      root = directory;
      folders = [];
      $('next-step').replaceChildren();
    },
    // A folder's files as read: [{name, handle, size, lastModified}].
    addRead(number, path, directory, files) {
      folders[number] ??= { path, directory, read: new Map(), changes: new Map() };
      for (const f of files) folders[number].read.set(f.name, f);
    },
    changesArrived({ folder, path, changes }) {
      folders[folder] ??= { path, directory: null, read: new Map(), changes: new Map() };
      for (const c of changes) folders[folder].changes.set(c.name, c);
    },
    // Whether the page writes into the folder opened in place.
    inPlace: () => root !== null,
    saveRescued,
    // A rescued file for the zip, beside the damaged file it comes from in
    // folder number; false when a file read there or one railfmt writes
    // has its name (unpacking the zip would replace it; names on Windows
    // are the same in any letter case).
    addRescued(number, name, bytes) {
      const folder = folders[number];
      const taken = (other) => other.toLowerCase() === name.toLowerCase();
      const written = [...folder.changes.values()].filter((c) => !c.rescued).map((c) => c.name);
      if ([...folder.read.keys(), ...written].some(taken)) return false;
      folder.changes.set(name, { name, created: true, bytes, rescued: true });
      if (document.body.dataset.state === 'done') describe();
      return true;
    },
    // The change a row's output leaves, if any.
    changeOf(row) {
      return row.output ? folders[row.folder]?.changes.get(row.output) : undefined;
    },
    describe,
    zipArrived({ bytes }) {
      if (zipRequested) save(new Blob([bytes], { type: 'application/zip' }), 'railfmt.zip');
      zipRequested = null;
    },
  };
})();
