// Rescue, for a damaged file: the library's rescue (the one
// railinspect --rescue makes) keeps every record that reads whole before
// the damage in a new file of the kind the file most likely is, named
// NAME.rescued.EXT. The details show what came back and what did not, in
// the library's words, and hand the rescued file out: as a download, in the
// zip of written files, or saved beside the damaged file in a folder opened
// in place. The damaged file itself is never written.
'use strict';

const Rescue = (() => {
  const $ = (id) => document.getElementById(id);
  let request = () => {};  // asks the worker: (type, row)
  let asked = new Set();   // rows rescued, by key: their details show the rescue again, in the language now chosen
  let saved = new Map();   // key → the name saved beside the damaged file
  let shown = null;        // the rejected row whose details are open
  const key = (row) => `${row.folder}/${row.k}`;

  // A damaged file: one that is most likely of some kind. (A file that is
  // no planning file has nothing to rescue.)
  const offered = (row) => row.verdict === 'damaged';

  const working = () => el('p', t('Rescuing…'), { class: 'hint' });
  function start(row) {
    asked.add(key(row));
    $('rescue-part')?.replaceChildren(working());
    request('rescue', row);
  }

  // What goes into a damaged file's details: the Rescue button and what it
  // does; once asked, its outcome in their place.
  function commands(row) {
    shown = row;
    if (!offered(row)) return [];
    const part = el('div', undefined, { id: 'rescue-part', 'aria-live': 'polite' });
    if (asked.has(key(row))) {
      part.append(working());
      request('rescue', row);
    } else {
      part.append(button(t('Rescue'), () => start(row), { id: 'rescue-button', class: 'primary',
        'aria-label': t('Rescue {name}', { name: row.name }) }),
      el('p', t('A rescue makes a new file of what this file still holds before the damage. This file stays as it is.'),
        { class: 'hint' }));
    }
    return [part];
  }

  // Saved beside the damaged file in the folder opened in place: the
  // button, and what became of the last try.
  function saving(row, rescue) {
    const name = rescue.rescued_name;
    const said = el('p', undefined, { id: 'rescue-saved' });
    const saveButton = button(t('Save it into the folder'), async () => {
      saveButton.disabled = true;
      const { outcome, message } = await Folder.saveRescued(row.folder, row.name, name, rescue.bytes);
      if (outcome === 'written') saved.set(key(row), name);
      const [text, cls] = {
        written: [t('Saved as {name} beside the damaged file, which stays as it is.', { name }), 'done'],
        exists: [t('Not saved: the folder already holds a file named {name}. Move or rename that file, then save again.',
          { name }), 'warning'],
        changed: [t('Not saved: {name} was changed after it was read. Check the folder again, then rescue it again.',
          { name: row.name }), 'warning'],
        refused: [t('The browser was not allowed to write into the folder.'), 'warning'],
        failed: [t('Something went wrong: {message}', { message }), 'warning'],
      }[outcome];
      said.textContent = text;
      said.className = cls;
      said.dataset.outcome = outcome;
      saveButton.disabled = outcome === 'written';
    }, { id: 'rescue-save', class: 'primary' });
    if (saved.has(key(row))) {
      saveButton.disabled = true;
      said.textContent = t('Saved as {name} beside the damaged file, which stays as it is.', { name });
      said.className = 'done';
    } else {
      said.textContent = t('It is saved beside the damaged file as {name}; no file is replaced.', { name });
      said.className = 'hint';
    }
    return { buttons: [saveButton], said };
  }

  // The rescued file handed out: saved into the folder opened in place, or
  // put in the zip of written files; a download either way.
  function handing(row, rescue) {
    const name = rescue.rescued_name;
    const download = button(t('Download {name}', { name }), () => save(new Blob([rescue.bytes]), name),
      { id: 'rescue-download' });
    const toolbar = el('div', undefined, { class: 'toolbar' });
    if (Folder.inPlace()) {
      const { buttons, said } = saving(row, rescue);
      toolbar.append(...buttons, download);
      return [toolbar, said];
    }
    download.classList.add('primary');
    toolbar.append(download);
    const downloads = el('p', t('The browser puts a download in its downloads folder. Move the file beside the damaged one and open it in the planning program.'),
      { class: 'hint' });
    const zipped = Folder.addRescued(row.folder, name, rescue.bytes)
      ? el('p', t('It is in the zip with the other files too, as {name}.', { name }), { class: 'hint' })
      : el('p', t('It is not in the zip: your folder already holds a file named {name}, which unpacking the zip would replace.',
        { name }), { class: 'warning' });
    return [toolbar, downloads, zipped];
  }

  // The rescue of a row as the library gives it: its first line the
  // outcome, the others what came back, what was lost and where the damage
  // is; then the rescued file, when there is one.
  function arrived({ folder, k, rescue }) {
    const part = $('rescue-part');
    if (!shown || shown.folder !== folder || shown.k !== k || !part || !rescue) return;
    const [first, ...rest] = rescue.lines;
    const outcome = rescue.outcome === 'rescued' ? 'rescued' : 'not-rescued';
    const list = el('ul', undefined, { class: 'rescue-lines' });
    for (const line of rest) list.append(el('li', line));
    const section = el('section', undefined, { class: `rescue ${outcome}`, 'aria-label': t('Rescue') });
    section.append(el('p', first, { class: `rescue-outcome ${outcome}` }), list);
    if (rescue.outcome === 'rescued') section.append(...handing(shown, rescue));
    part.replaceChildren(section);
  }

  return {
    setRequest(ask) { request = ask; },
    offered,
    commands,
    arrived,
    // Opens a row's details with its rescue under way.
    open(row) {
      asked.add(key(row));
      Details.show(row);
    },
    // A new set of files: no row is rescued yet.
    clear() {
      asked = new Set();
      saved = new Map();
      shown = null;
    },
  };
})();
