// The details of one file: the verdict in words, what changes, why a file
// is rejected (every kind's failing check and the bytes around it), the
// picture with its legend beside it, and the content as JSON. Everything
// comes from the library; this file lays it out.
'use strict';

const Details = (() => {
  const $ = (id) => document.getElementById(id);
  const dialog = $('details');
  const img = $('picture');
  const frame = $('viewport');
  const view = { x: 0, y: 0, scale: 1 };
  let shown = null;    // the row open
  let svg = '';        // its picture
  let request = () => {};  // asks the worker: (type, row, extra)
  let rejected = () => [];  // what may yet be done with a file no kind accepts: (row) → elements

  // The verdict in the library's words, what railfmt does and what to do:
  // the row's at once, the changes in detail when the report comes.
  function verdictPart(row) {
    const line = el('p', undefined, { class: `verdict-line ${row.verdict}` });
    line.append(el('span', undefined, { class: `mark ${row.verdict}`, 'aria-hidden': 'true' }), row.text);
    const part = [line];
    if (row.kind) part.push(el('p', t('Kind: {kind}', { kind: kindLabel(row.kind) })));
    if (row.output && row.output !== row.name && row.verdict === 'tidied') {
      part.push(el('p', t('railfmt writes it as {name}.', { name: row.output })));
    }
    for (const warning of row.warnings) part.push(el('p', `⚠ ${warning}`, { class: 'warning' }));
    part.push(el('div', undefined, { id: 'change-details' }));
    if (row.next) part.push(el('p', row.next, { class: 'next' }));
    // What may yet be done with a file no kind accepts.
    if (!row.kind) {
      const commands = el('div', undefined, { id: 'rejected-commands', class: 'rejected-commands' });
      commands.append(...rejected(row));
      part.push(commands);
    }
    return part;
  }

  // Each change normalising makes, in a sentence of its own.
  function changeDetails(report) {
    const details = report.railfmt?.change_details ?? [];
    if (details.length === 0) return [];
    const list = el('ul', undefined, { class: 'changes' });
    const SHOWN = 200;
    for (const change of details.slice(0, SHOWN)) list.append(el('li', change));
    const part = [el('h3', t('What railfmt changes')), list];
    if (details.length > SHOWN) part.push(el('p', tn('… and {n} more', '… and {n} more', details.length - SHOWN), { class: 'hint' }));
    return part;
  }

  // Every kind's reader, as railfmt tries them, for a file none accepts.
  function checks(report) {
    const parts = [el('h3', t('Every kind, as railfmt tries them, the most likely first'))];
    if (report.most_likely) {
      parts.push(el('p', t('Most likely {kind}: {why}', { kind: kindLabel(report.most_likely), why: report.likely_why })));
    }
    const ranked = (report.ranking ?? []).map((kind) => report.attempts.find((a) => a.kind === kind)).filter(Boolean);
    for (const a of ranked.length === report.attempts.length ? ranked : report.attempts) {
      const part = el('section', undefined, { class: 'attempt', 'aria-label': kindLabel(a.kind), 'data-kind': a.kind });
      part.append(el('h4', t('{kind}: stopped at byte {offset}', { kind: kindLabel(a.kind), offset: a.stop_offset })),
        el('p', a.reason, { class: 'reason' }));
      // The lines the reader printed, quoted as the format prints them.
      const said = el('ul', undefined, { class: 'said' });
      for (const s of a.said) {
        const li = el('li');
        li.append(el('code', s.text, { class: s.mismatch ? 'mismatch' : 'message' }));
        said.append(li);
      }
      part.append(said);
      parts.push(part);
    }
    if (report.hex_window) {
      parts.push(el('h4', t('The bytes around byte {offset}', { offset: report.hex_window.stop })), hex(report.hex_window));
    }
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

  // A collapsible view of JSON: objects and arrays open on demand, so a
  // large content costs nothing until looked at.
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

  // The legend beside the picture, and the values the picture does not draw.
  const CARRIED_ROWS = 200;
  function legend(data) {
    const items = el('ul', undefined, { class: 'legend-items' });
    for (const item of data.items) {
      const li = el('li');
      li.append(el('img', undefined, { src: `data:image/svg+xml;charset=utf-8,${encodeURIComponent(item.symbol)}`,
        alt: '', width: '24', height: '14' }), el('span', item.text));
      items.append(li);
    }
    $('legend').replaceChildren(el('h3', data.heading), items);
    const carried = [];
    for (const list of data.carried) {
      const table = el('table', undefined, { class: 'values' });
      const head = el('tr');
      for (const c of list.columns) head.append(el('th', c, { scope: 'col' }));
      table.append(el('thead'), el('tbody'));
      table.tHead.append(head);
      for (const row of list.rows.slice(0, CARRIED_ROWS)) {
        const tr = el('tr');
        for (const cell of row) tr.append(el('td', cell));
        table.tBodies[0].append(tr);
      }
      carried.push(el('h4', list.heading), el('div', undefined, { class: 'values-frame' }));
      carried.at(-1).append(table);
      if (list.rows.length > CARRIED_ROWS) {
        carried.push(el('p', tn('… and {n} more', '… and {n} more', list.rows.length - CARRIED_ROWS), { class: 'hint' }));
      }
    }
    $('carried').replaceChildren(...carried);
  }

  function applyView() { img.style.transform = `translate(${view.x}px, ${view.y}px) scale(${view.scale})`; }
  function fit() {
    const w = img.naturalWidth || frame.clientWidth;
    const h = img.naturalHeight || frame.clientHeight;
    view.scale = Math.min(frame.clientWidth / w, frame.clientHeight / h) || 1;
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

  function show(row) {
    shown = row;
    // A long path may break after each folder.
    const path = (row.path + row.name).split('/');
    $('details-heading').replaceChildren(...path.flatMap((part, i) => (i + 1 < path.length ? [`${part}/`, el('wbr')] : [part])));
    $('details-verdict').replaceChildren(...verdictPart(row));
    $('checks').replaceChildren();
    $('picture-part').hidden = !row.kind;
    $('json-part').hidden = !row.kind;
    $('json-part').open = false;
    $('json').replaceChildren();
    $('legend').replaceChildren();
    $('carried').replaceChildren();
    $('picture-caption').textContent = '';
    if (img.src.startsWith('blob:')) URL.revokeObjectURL(img.src);
    img.removeAttribute('src');
    if (!dialog.open) dialog.showModal();
    $('details-heading').focus();
    request('details', row);
    // The picture is drawn to the size of its frame, which the dialog now has.
    if (row.kind) request('picture', row, { width: frame.clientWidth, height: frame.clientHeight });
  }

  function detailsArrived({ folder, k, document: text }) {
    if (!shown || shown.folder !== folder || shown.k !== k) return;
    const report = JSON.parse(text);
    $('change-details')?.replaceChildren(...changeDetails(report));
    if (!shown.kind && report.readable) $('checks').replaceChildren(...checks(report));
    if (report.content) $('json').replaceChildren(tree(report.content, 'content', true));
  }

  function pictureArrived({ folder, k, picture }) {
    if (!shown || shown.folder !== folder || shown.k !== k || !picture) return;
    svg = picture.svg;
    // An <img> shows the SVG without running anything that might be in it.
    img.src = URL.createObjectURL(new Blob([svg], { type: 'image/svg+xml' }));
    img.alt = t('Picture of {name}', { name: shown.name });
    frame.setAttribute('aria-label', t('Picture of {name}', { name: shown.name }));
    legend(picture.legend);
    $('picture-caption').textContent = shown.verdict === 'tidied'
      ? t('The picture shows the file as it is now, before railfmt tidies it.') : '';
  }

  function label() {
    $('close').textContent = t('Close');
    $('report-close').textContent = t('Close');
    $('fit').textContent = t('Fit');
    $('zoom-in').setAttribute('aria-label', t('Zoom in'));
    $('zoom-out').setAttribute('aria-label', t('Zoom out'));
    $('save-picture').textContent = t('Download picture (SVG)');
    $('picture-toolbar').setAttribute('aria-label', t('Picture'));
    frame.setAttribute('aria-roledescription', t('zoomable picture'));
    $('viewport-help').textContent = t('Drag or use the arrow keys to move, the wheel or + and − to zoom, 0 to fit.');
    $('json-summary').textContent = t('Content as JSON');
    if (dialog.open && shown) show(Table.find(shown.folder, shown.k) ?? shown);
  }

  // A tap or click on the backdrop closes a dialog; the dialog's own area
  // is covered by its body, so only the backdrop is the dialog itself.
  for (const d of [dialog, $('report')]) {
    let pressedOutside = false;
    d.addEventListener('pointerdown', (e) => { pressedOutside = e.target === d; });
    d.addEventListener('click', (e) => {
      if (e.target === d && pressedOutside) d.close();
      pressedOutside = false;
    });
  }
  img.addEventListener('load', fit);
  $('fit').addEventListener('click', fit);
  $('close').addEventListener('click', () => dialog.close());
  $('report-close').addEventListener('click', () => $('report').close());
  $('zoom-in').addEventListener('click', () => zoom(1.25));
  $('zoom-out').addEventListener('click', () => zoom(0.8));
  $('save-picture').addEventListener('click', () =>
    save(new Blob([svg], { type: 'image/svg+xml' }), `${shown.name}.svg`));
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

  return {
    setRequest(ask) { request = ask; },
    setRejected(make) { rejected = make; },
    show,
    detailsArrived,
    pictureArrived,
    label,
    close: () => dialog.open && dialog.close(),
  };
})();
