// The table of files: one row per entry with the library's verdict first,
// a summary that counts each verdict, a filter for the rows that need
// attention and a choice of order. Only the rows on screen are in the
// document, so twenty thousand rows scroll as smoothly as twenty.
'use strict';

// The verdicts the library gives, in the order "by result" sorts them.
const VERDICTS = {
  damaged: { label: () => t('Damaged') },
  unreadable: { label: () => t('Unreadable') },
  foreign: { label: () => t('Not a planning file') },
  tidied: { label: () => t('Will be tidied') },
  in_order: { label: () => t('In order') },
  skipped: { label: () => t('Skipped') },
};
const VERDICT_ORDER = Object.keys(VERDICTS);

// The kinds as the planning program's users know them.
function kindLabel(kind) {
  switch (kind) {
    case 'layout': return t('Layout (.anl)');
    case 'rolling_stock': return t('Rolling stock (.rol)');
    case 'model': return t('Model (.mod)');
    case 'construction_drawing': return t('Construction drawing (.kon)');
    default: return '';
  }
}

const Table = (() => {
  const frame = document.getElementById('table-frame');
  const body = document.querySelector('#results tbody');
  const OVERSCAN = 8;
  let rows = [];      // every row, in the order the library gave them
  let shown = [];     // the rows the filter lets through, in the chosen order
  let rowHeight = 0;  // measured from a drawn row
  let elements = new WeakMap();  // row → its <tr>, while its words stay
  let commands = () => [];       // the buttons of a row
  let scheduled = false;
  let reordering = null;  // a timer: rows coming in are sorted in now and then, not one message at a time

  function rowElement(row, index) {
    let tr = elements.get(row);
    if (!tr) {
      const path = row.path + row.name;
      const written = row.output && row.output !== row.name && row.verdict === 'tidied';
      tr = el('tr', undefined, { class: `row ${row.verdict}`, 'data-verdict': row.verdict });
      const file = el('th', undefined, { scope: 'row', title: written ? `${path} → ${row.output}` : path,
        'data-label': t('File') });
      if (row.path) file.append(el('span', row.path, { class: 'folder' }));
      file.append(row.name);
      if (written) file.append(el('span', ` → ${row.output}`, { class: 'output' }));
      // The library's verdict line; a mark for the eye and for those who
      // cannot tell the colours apart; a warning sign where there is one.
      const title = [row.text, ...row.warnings].join('\n');
      const verdict = el('td', undefined, { class: 'result', title, 'data-label': t('Result') });
      verdict.append(el('span', undefined, { class: `mark ${row.verdict}`, 'aria-hidden': 'true' }));
      if (row.warnings.length > 0) verdict.append(el('span', '⚠ ', { class: 'warning-sign', title: row.warnings.join('\n') }));
      verdict.append(el('span', row.text, { class: 'result-text' }));
      // A file no kind accepts shows the kind it most likely is, as such.
      const kind = row.kind ? el('td', kindLabel(row.kind), { class: 'kind', 'data-label': t('Kind') })
        : el('td', row.likely ? t('{kind}?', { kind: kindLabel(row.likely) }) : '—',
          { class: 'kind likely', 'data-label': t('Kind'), title: row.likely ? t('most likely') : '' });
      const buttons = el('td', undefined, { class: 'commands' });
      buttons.append(...commands(row));
      tr.append(file, verdict, kind, buttons);
      elements.set(row, tr);
    }
    tr.setAttribute('aria-rowindex', String(index + 2));  // the header is row 1
    return tr;
  }

  // The space of the rows above and below those drawn.
  function spacer() {
    const tr = el('tr', undefined, { class: 'spacer', 'aria-hidden': 'true' });
    tr.append(el('td', undefined, { colspan: '4' }));
    return tr;
  }
  const above = spacer();
  const below = spacer();

  // Rows already drawn stay where they are (a click in progress on one is
  // not lost); rows scrolled out go, rows scrolled in come.
  function place(wanted) {
    const keep = new Set(wanted);
    for (const child of [...body.children]) if (!keep.has(child)) child.remove();
    let cursor = body.firstChild;
    for (const tr of wanted) {
      if (tr === cursor) {
        cursor = cursor.nextSibling;
      } else {
        body.insertBefore(tr, cursor);
      }
    }
  }

  function draw() {
    scheduled = false;
    if (shown.length === 0) {
      body.replaceChildren();
      return;
    }
    if (rowHeight === 0) {
      place([rowElement(shown[0], 0)]);
      rowHeight = body.firstChild.getBoundingClientRect().height || 40;
    }
    const head = frame.querySelector('thead').getBoundingClientRect().height;
    const top = Math.max(0, frame.scrollTop - head);
    const first = Math.max(0, Math.floor(top / rowHeight) - OVERSCAN);
    const last = Math.min(shown.length, Math.ceil((top + frame.clientHeight) / rowHeight) + OVERSCAN);
    const visible = [];
    for (let i = first; i < last; i++) visible.push(rowElement(shown[i], i));
    above.firstChild.style.height = `${first * rowHeight}px`;
    below.firstChild.style.height = `${(shown.length - last) * rowHeight}px`;
    const height = frame.clientHeight;
    place([above, ...visible, below]);
    document.getElementById('results').setAttribute('aria-rowcount', String(shown.length + 1));
    // The frame grows with what it holds: drawn again to fill it.
    if (frame.clientHeight > height) schedule();
  }
  function schedule() {
    if (!scheduled) {
      scheduled = true;
      requestAnimationFrame(draw);
    }
  }

  function order() {
    const filter = document.getElementById('filter').value;
    const sort = document.getElementById('sort').value;
    const search = document.getElementById('search').value.trim().toLocaleLowerCase(Words.language);
    shown = rows.filter((r) => (filter === 'all' || (filter === 'attention' ? r.attention : r.verdict === filter)) &&
      (!search || (r.path + r.name).toLocaleLowerCase(Words.language).includes(search)));
    const collator = new Intl.Collator(Words.language, { numeric: true });
    const byName = (a, b) => collator.compare(a.path, b.path) || collator.compare(a.name, b.name);
    if (sort === 'name') shown.sort(byName);
    if (sort === 'result') {
      shown.sort((a, b) => Number(b.attention) - Number(a.attention) ||
        VERDICT_ORDER.indexOf(a.verdict) - VERDICT_ORDER.indexOf(b.verdict) || byName(a, b));
    }
    document.getElementById('shown-count').textContent = shown.length === rows.length ? ''
      : t('{shown} of {total} files shown', { shown: shown.length, total: rows.length });
    schedule();
  }

  // The summary: every verdict that occurs with its count; a click shows
  // only those rows.
  function summarise() {
    const counts = new Map();
    for (const row of rows) counts.set(row.verdict, (counts.get(row.verdict) ?? 0) + 1);
    const attention = rows.filter((r) => r.attention).length;
    const summary = document.getElementById('summary');
    const chip = (value, text, n, cls) => {
      const b = el('button', undefined, { type: 'button', class: `chip ${cls}`, 'data-filter': value });
      b.append(el('span', text), el('strong', Words.number(n)));
      b.setAttribute('aria-pressed', String(document.getElementById('filter').value === value));
      b.addEventListener('click', () => {
        setFilter(value);
      });
      return b;
    };
    const chips = [chip('all', t('All files'), rows.length, 'all'),
      chip('attention', t('Need attention'), attention, attention > 0 ? 'attention' : 'calm')];
    for (const v of VERDICT_ORDER) if (counts.has(v)) chips.push(chip(v, VERDICTS[v].label(), counts.get(v), v));
    summary.replaceChildren(...chips);
    // The filter offers the same choices.
    const filter = document.getElementById('filter');
    const value = filter.value || 'all';
    const options = [['all', t('all files')], ['attention', t('files that need attention')]];
    for (const v of VERDICT_ORDER) if (counts.has(v)) options.push([v, VERDICTS[v].label()]);
    filter.replaceChildren(...options.map(([v, text]) => el('option', text, { value: v })));
    filter.value = options.some(([v]) => v === value) ? value : 'all';
  }

  function setFilter(value) {
    document.getElementById('filter').value = value;
    summarise();
    order();
  }

  frame.addEventListener('scroll', schedule, { passive: true });
  window.addEventListener('resize', () => {
    rowHeight = 0;
    schedule();
  });
  document.getElementById('filter').addEventListener('change', () => {
    summarise();
    order();
  });
  document.getElementById('sort').addEventListener('change', order);
  document.getElementById('search').addEventListener('input', order);

  return {
    // The buttons each row gets: a function of the row.
    setCommands(make) { commands = make; },
    clear() {
      rows = [];
      shown = [];
      elements = new WeakMap();
      clearTimeout(reordering);
      reordering = null;
      document.getElementById('filter').value = 'all';
      document.getElementById('search').value = '';
      body.replaceChildren();
      frame.scrollTop = 0;
    },
    add(more) {
      for (const row of more) rows.push(row);
      reordering ??= setTimeout(() => {
        reordering = null;
        summarise();
        order();
      }, 250);
    },
    // Every row is in: the summary and order they end with.
    settle() {
      clearTimeout(reordering);
      reordering = null;
      summarise();
      order();
    },
    // The rows with their words in the language now chosen.
    replace(all) {
      rows = all;
      elements = new WeakMap();
      rowHeight = 0;
      summarise();
      order();
    },
    // Draws the rows again (their buttons changed).
    refresh() {
      elements = new WeakMap();
      schedule();
    },
    labelControls() {
      const sort = document.getElementById('sort');
      const value = sort.value || 'result';
      sort.replaceChildren(el('option', t('result, problems first'), { value: 'result' }),
        el('option', t('name'), { value: 'name' }), el('option', t('the order railfmt visits them'), { value: 'run' }));
      sort.value = value;
      summarise();
      order();
    },
    rows: () => rows,
    shown: () => shown,
    find: (folder, k) => rows.find((r) => r.folder === folder && r.k === k),
    setFilter,
  };
})();
