// railview.html in Debian's chromium, driven by playwright-core, against the
// native tools of another build: the page's verdicts must be railinspect's,
// what it writes (into a folder in place, in its zip, by each Download)
// must be what railfmt writes, and what it rescues what railinspect --rescue
// rescues. Served and opened from disk, in English and German, on a desktop
// and a phone.
//   RAILVIEW_SITE           the built site folder (served)
//   RAILVIEW_HTML           the built railview.html (opened from disk)
//   RAILFMT_NATIVE_BIN_DIR  a native build with railfmt, railinspect, make_corpus
//   RAILFMT_SAMPLES         the bundled samples
//   RAILVIEW_SHOTS          where the screenshots and the speed figures go
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { cpSync, mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { basename, join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';
import { serve } from '../../web/serve.mjs';

const env = (name) => { assert.ok(process.env[name], `${name} is not set`); return process.env[name]; };
const bin = (tool) => join(env('RAILFMT_NATIVE_BIN_DIR'), { railfmt: 'driver', railinspect: 'tools/railinspect', make_corpus: 'tools' }[tool], tool);
const shots = env('RAILVIEW_SHOTS');
const scratch = mkdtempSync(join(tmpdir(), 'railview-test-'));
mkdirSync(shots, { recursive: true });

// The planning program's names are Windows-1252: a name as people read it.
const WINDOWS_1252_HIGH = '€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008dŽ\u008f\u0090‘’“”•–—˜™š›œ\u009džŸ';
const shown = (bytes) => [...bytes].map((b) => (b >= 0x80 && b < 0xa0 ? WINDOWS_1252_HIGH[b - 0x80] : String.fromCharCode(b))).join('');
// Every file of a folder (not its subfolders) by the name people read.
function filesIn(dir) {
  const out = new Map();
  for (const raw of readdirSync(dir, { encoding: 'buffer' })) {
    const path = Buffer.concat([Buffer.from(`${dir}/`), raw]);
    if (statSync(path).isFile()) out.set(shown(raw), readFileSync(path));
  }
  return out;
}

// The native tools speaking a language.
const speaking = (language) =>
  ({ ...process.env, LANG: language === 'de' ? 'de_DE.UTF-8' : 'C.UTF-8', LANGUAGE: '', LC_ALL: '', LC_MESSAGES: '' });
// What railinspect says of a folder, in a language.
function inspect(dir, language = 'en') {
  return JSON.parse(spawnSync(bin('railinspect'), ['--json', '--no-content', dir], { maxBuffer: 1 << 30, env: speaking(language) }).stdout).files;
}
// What railinspect --rescue makes of a file, in a language: its account
// of the rescue and the bytes it wrote (null when it wrote none).
function rescueNatively(file, language) {
  const out = join(scratch, `rescued-${language}-${basename(file)}`);
  rmSync(out, { force: true });
  const run = spawnSync(bin('railinspect'), ['--rescue', '--json', file, '-o', out], { env: speaking(language) });
  const said = JSON.parse(run.stdout);
  return { rescue: said.rescue, bytes: said.written ? readFileSync(out) : null };
}
// A zip as an independent implementation reads it: by entry name, its
// bytes, whether the name is flagged UTF-8 and its date in seconds.
function readZip(bytes) {
  const zipPath = join(scratch, 'railfmt.zip');
  writeFileSync(zipPath, bytes);
  execFileSync('unzip', ['-tq', zipPath]);
  const listing = JSON.parse(execFileSync('python3', ['-c', `
import json, sys, time, zipfile
z = zipfile.ZipFile(sys.argv[1]); assert z.testzip() is None
print(json.dumps({i.filename: [z.read(i).hex(), i.flag_bits & 0x800, time.mktime(i.date_time + (0, 0, -1))] for i in z.infolist()}))`, zipPath], { maxBuffer: 1 << 30 }));
  return new Map(Object.entries(listing).map(([name, [hex, utf8, seconds]]) => [name, { bytes: Buffer.from(hex, 'hex'), utf8, seconds }]));
}
const needsAttention = (f) => f.verdict.name === 'damaged' || f.verdict.warnings.length > 0;

// A folder as the user has it, what railinspect says of it (in both
// languages) and what railfmt leaves there (run on a copy).
function inspectAndRun(dir, copy, runs = 1) {
  const report = { files: inspect(dir), de: inspect(dir, 'de') };
  // The fastest of a few runs, each on a fresh copy: the machine may be busy.
  let seconds = Infinity;
  for (let i = 0; i < runs; i++) {
    rmSync(copy, { recursive: true, force: true });
    cpSync(dir, copy, { recursive: true });
    const t0 = performance.now();
    execFileSync(bin('railfmt'), { cwd: copy });
    seconds = Math.min(seconds, (performance.now() - t0) / 1000);
  }
  // Subfolders are no files: the page shows each folder as a run of its own.
  const files = report.files.filter((f) => f.error !== 'Is a directory');
  const de = new Map(report.de.map((f) => [f.entry_name, f]));
  return { files, de, seconds, after: filesIn(copy) };
}

// A layout cut short among its placed models: its tracks and first placed
// models read whole, and a rescue gives them back.
const cutLayout = (dir) => readFileSync(join(dir, 'anlage_bruecken.anl')).subarray(0, 600);

// The test folder: the samples, a 300-file corpus, a rolling stock whose
// stored name is Windows-1252, and a subfolder of damaged files.
function makePlanning(root) {
  const dir = join(root, 'planning');
  mkdirSync(dir, { recursive: true });
  cpSync(env('RAILFMT_SAMPLES'), dir, { recursive: true });
  execFileSync(bin('make_corpus'), [dir, '300', '7']);
  // "Müller" in Windows-1252 as the stock's name: railfmt names the output by it.
  const stock = readFileSync(join(dir, 'stock_all_parts.rol'));
  const name = Buffer.from('stock_all_parts');
  const at = stock.length - 24 - name.length - 1;
  writeFileSync(join(dir, 'lok.rol'), Buffer.concat([stock.subarray(0, at), Buffer.from([6, 0x4d, 0xfc, 0x6c, 0x6c, 0x65, 0x72]), stock.subarray(-24)]));
  const damaged = join(dir, 'damaged');
  mkdirSync(damaged);
  const model = readFileSync(join(dir, 'station.mod'));
  const flipped = Buffer.from(model);
  flipped[2] ^= 1;  // the reserved word of the model header
  const files = {
    'flipped.mod': flipped,
    'cut.mod': model.subarray(0, model.length - 1),
    'empty.anl': Buffer.alloc(0),
    'cut.rol': readFileSync(join(dir, 'stock_all_parts.rol')).subarray(0, -1),
    'zeros.rol': Buffer.alloc(4096),
    'text.kon': Buffer.from('Gleisplan Bahnhof Nord\r\n'),
    'photo.anl': Buffer.from('89504e470d0a1a0a0000000d49484452', 'hex'),
    'ok.mod': model,
    'cut.anl': cutLayout(dir),
    // Its rescued name is taken: the rescue stays out of the zip.
    'taken.anl': cutLayout(dir),
    'taken.rescued.anl': Buffer.from('kept by its owner'),
  };
  for (const [n, bytes] of Object.entries(files)) writeFileSync(join(damaged, n), bytes);
  return dir;
}

const planning = makePlanning(join(scratch, 'user'));
const expected = {
  top: inspectAndRun(planning, join(scratch, 'native', 'planning')),
  damaged: inspectAndRun(join(planning, 'damaged'), join(scratch, 'native-damaged')),
};
const expectedRows = [...expected.top.files.map((f) => ({ path: 'planning/', f, de: expected.top.de.get(f.entry_name) })),
  ...expected.damaged.files.map((f) => ({ path: 'planning/damaged/', f, de: expected.damaged.de.get(f.entry_name) }))];
// What a run of railfmt leaves different in the folder, by path within it.
const wanted = new Map();
for (const [run, prefix] of [[expected.top, ''], [expected.damaged, 'damaged/']]) {
  const read = filesIn(prefix ? join(planning, 'damaged') : planning);
  for (const [name, bytes] of run.after) if (!read.get(name)?.equals(bytes)) wanted.set(prefix + name, bytes);
}

let server;
let browser;
const problems = [];
async function newPage({ language = 'en', viewport = { width: 1280, height: 860 }, offline = false, setUp } = {}) {
  const context = await browser.newContext({ acceptDownloads: true, viewport, locale: language === 'de' ? 'de-DE' : 'en-US' });
  // Nothing but the page itself may be fetched: anything else is refused and remembered.
  await context.route('**/*', (route) => {
    const url = route.request().url();
    const own = url.startsWith('blob:') || url.startsWith('data:') || (offline ? url.startsWith('file:') : url.startsWith(`${server.origin}/`));
    if (!own) problems.push(url);
    return own ? route.continue() : route.abort();
  });
  const page = await context.newPage();
  page.on('pageerror', (e) => problems.push(`page error: ${e.message}`));
  if (setUp) await page.addInitScript(setUp);
  await page.goto(offline ? pathToFileURL(env('RAILVIEW_HTML')).href : `${server.origin}/`);
  await page.waitForSelector('body[data-state="ready"]');
  return page;
}
async function openFolder(page, dir) {
  await page.setInputFiles('#folder', dir);
  await page.waitForSelector('body[data-state="done"]', { timeout: 300_000 });
}
async function download(page, click) {
  const [d] = await Promise.all([page.waitForEvent('download'), click()]);
  return { name: d.suggestedFilename(), bytes: readFileSync(await d.path()) };
}
// Opens a file's details: found with the table's search, as a user with
// many files would.
async function details(page, path) {
  if (await page.$eval('#details', (d) => d.open)) await page.click('#close');
  await page.fill('#search', path);
  await page.getByRole('button', { name: new RegExp(`^(Details of|Details zu) ${path.replace(/[.]/g, '\\.')}$`) }).click();
  await page.waitForFunction((p) => document.getElementById('details-heading').textContent === p, path);
}
const pageRows = (page) => page.evaluate(() => window.railview.rows());

// A folder in the origin's private file system, which stands in for the
// user's: the page reaches it through the same directory handles a picked
// folder gives. Files go in and come out as Map(name → Buffer).
const privateFolder = {
  async write(page, folder, files) {
    await page.evaluate(async ({ folder: name, list }) => {
      const dir = await (await navigator.storage.getDirectory()).getDirectoryHandle(name, { create: true });
      for (const { name: file, data } of list) {
        const w = await (await dir.getFileHandle(file, { create: true })).createWritable();
        await w.write(Uint8Array.from(atob(data), (c) => c.charCodeAt(0)));
        await w.close();
      }
    }, { folder, list: [...files].map(([name, bytes]) => ({ name, data: bytes.toString('base64') })) });
  },
  async read(page, folder) {
    return new Map(Object.entries(await page.evaluate(async (name) => {
      const dir = await (await navigator.storage.getDirectory()).getDirectoryHandle(name);
      const out = {};
      for await (const [file, handle] of dir.entries()) {
        const bytes = new Uint8Array(await (await handle.getFile()).arrayBuffer());
        out[file] = btoa(Array.from(bytes, (b) => String.fromCharCode(b)).join(''));
      }
      return out;
    }, folder)).map(([name, data]) => [name, Buffer.from(data, 'base64')]));
  },
  async open(page, folder) {
    await page.evaluate(async (name) => {
      await window.railview.openDirectory(await (await navigator.storage.getDirectory()).getDirectoryHandle(name));
    }, folder);
    await page.waitForSelector('body[data-state="done"]');
  },
};

before(async () => {
  server = await serve(env('RAILVIEW_SITE'));
  browser = await chromium.launch({ executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium', args: ['--no-sandbox'] });
});
after(async () => {
  await browser?.close();
  await server?.close();
  rmSync(scratch, { recursive: true, force: true });
});

const WORDS = {
  en: { lang: 'en', close: 'Close', rescue: 'Rescue', rescueRow: (path) => `Rescue ${path}`,
    download: 'Download', downloadRow: (name) => `Download ${name}` },
  de: { lang: 'de', close: 'Schließen', rescue: 'Retten', rescueRow: (path) => `${path} retten`,
    download: 'Herunterladen', downloadRow: (name) => `${name} herunterladen` },
};
// The lines a rescue shows: its outcome first.
const rescueLines = (page) => page.$$eval('#rescue-part .rescue-outcome, #rescue-part .rescue-lines li', (es) => es.map((e) => e.textContent));

for (const language of ['en', 'de']) {
  describe(`railview in ${language === 'de' ? 'German' : 'English'}`, () => {
    const words = WORDS[language];
    let page;
    before(async () => {
      page = await newPage({ language });
      await openFolder(page, planning);
    });
    after(() => page.context().close());

    test('every file has railinspect\'s verdict in its words, kind and output, and the summary counts them', async () => {
      assert.equal(await page.getAttribute('html', 'lang'), words.lang);
      const rows = await pageRows(page);
      const skipped = rows.filter((r) => r.verdict === 'skipped');
      // railinspect leaves out of a folder's report the names railfmt skips.
      assert.equal(rows.length - skipped.length, expectedRows.length);
      for (const { path, f, de } of expectedRows) {
        const row = rows.find((r) => r.path === path && r.name === f.entry_name);
        assert.ok(row, `${path}${f.entry_name} has a row`);
        const said = language === 'de' ? de : f;
        assert.deepEqual([row.verdict, row.text, row.warnings, row.attention, row.kind, row.output],
          [f.verdict.name, said.verdict.text, said.verdict.warnings, needsAttention(f), f.kind, f.output_name], path + f.entry_name);
      }
      const counts = {};
      for (const r of rows) counts[r.verdict] = (counts[r.verdict] ?? 0) + 1;
      const chips = await page.$$eval('#summary .chip', (cs) => cs.map((c) => [c.dataset.filter, c.querySelector('strong').textContent]));
      const number = new Intl.NumberFormat(language);
      for (const [verdict, n] of Object.entries(counts)) assert.ok(chips.some(([v, text]) => v === verdict && text === number.format(n)), verdict);
      assert.equal(chips.find(([v]) => v === 'all')[1], number.format(rows.length));
      assert.ok(['in_order', 'tidied', 'damaged', 'foreign', 'skipped'].every((v) => counts[v] > 0), JSON.stringify(counts));
    });

    test('the filter shows exactly the files that need attention, in the order of their verdicts', async () => {
      await page.fill('#search', '');
      const rows = await pageRows(page);
      const attention = rows.filter((r) => r.attention);
      assert.ok(attention.length > 0);
      await page.click('#summary .chip[data-filter="attention"]');
      const shown = await page.evaluate(() => window.railview.shown());
      assert.deepEqual(shown.map((r) => r.path + r.name).sort(), attention.map((r) => r.path + r.name).sort());
      const order = ['damaged', 'unreadable', 'foreign', 'tidied', 'in_order', 'skipped'];
      assert.deepEqual(shown.map((r) => r.verdict), shown.map((r) => r.verdict).sort((a, b) => order.indexOf(a) - order.indexOf(b)));
      // The rows drawn are the first of those shown, each with its verdict.
      const drawn = await page.$$eval('#results tbody tr.row', (trs) => trs.map((tr) => [tr.dataset.verdict, tr.querySelector('th').textContent]));
      assert.deepEqual(drawn, shown.slice(0, drawn.length).map((r) => [r.verdict, r.path + r.name]));
      await page.screenshot({ path: join(shots, `attention-${language}.png`) });
      await page.click('#summary .chip[data-filter="all"]');
      // Only the rows on screen are drawn.
      const all = await page.$$eval('#results tbody tr.row', (trs) => trs.length);
      assert.ok(all > 0 && all < 80, `${all} rows drawn of ${rows.length}`);
      assert.equal(await page.textContent('#col-kind'), language === 'de' ? 'Art' : 'Kind');
      await page.locator('#results-heading').scrollIntoViewIfNeeded();
      await page.screenshot({ path: join(shots, `table-${language}.png`) });
    });

    test('a damaged file shows its verdict, every kind\'s failing check and the bytes', async () => {
      await details(page, 'planning/damaged/flipped.mod');
      const f = expected.damaged.files.find((x) => x.entry_name === 'flipped.mod');
      await page.waitForSelector('#checks .attempt');
      const attempts = new Map(await page.$$eval('#checks .attempt', (parts) => parts.map((p) => [p.dataset.kind, p.textContent])));
      const said = language === 'de' ? expected.damaged.de.get('flipped.mod') : f;
      assert.equal(attempts.size, f.attempts.length);
      // The most likely kind first.
      assert.equal(await page.$eval('#checks .attempt', (p) => p.dataset.kind), f.most_likely);
      for (const a of said.attempts) {
        for (const line of [a.reason, ...a.mismatches]) assert.ok(attempts.get(a.kind).includes(line), `${a.kind}: ${line}`);
      }
      assert.ok((await page.textContent('#details-verdict')).includes(said.verdict.next_step));
      assert.ok(await page.isVisible('#checks .hex mark'));
      assert.ok(await page.isVisible('#details-verdict .verdict-line.damaged'));
      await page.screenshot({ path: join(shots, `damaged-${language}.png`) });
    });

    test('a layout\'s picture fills its frame and its legend is HTML beside it', async () => {
      await details(page, 'planning/anlage_bruecken.anl');
      await page.waitForFunction(() => document.getElementById('picture').naturalWidth > 0);
      const [frame, picture] = await page.$$eval('#viewport, #picture', (es) => es.map((e) => [e.clientWidth, e.clientHeight]));
      assert.deepEqual(picture, frame);
      const legend = await page.$$eval('#legend li', (lis) => lis.map((li) => li.textContent));
      assert.ok(legend.length >= 8, legend.join(' | '));
      assert.match(await page.textContent('#legend h3'), language === 'de' ? /^Anlage anlage_bruecken\.anl: 5 Gleise/ : /^Layout anlage_bruecken\.anl: 5 tracks/);
      const before = await page.$eval('#picture', (i) => i.style.transform);
      await page.focus('#viewport');
      await page.keyboard.press('+');
      assert.notEqual(await page.$eval('#picture', (i) => i.style.transform), before);
      await page.keyboard.press('0');
      await page.screenshot({ path: join(shots, `layout-${language}.png`) });
      await details(page, 'planning/drawing_full.kon');
      await page.waitForSelector('#carried table');
      assert.equal(await page.$$eval('#carried tbody tr', (trs) => trs.length), 7);
      await page.screenshot({ path: join(shots, `drawing-${language}.png`) });
      // A click beside the details closes them.
      await page.mouse.click(5, 5);
      assert.equal(await page.$eval('#details', (d) => d.open), false);
    });

    test('a written file\'s row downloads what railfmt writes, a damaged file\'s row offers Rescue, no other row either', async () => {
      // Tall enough that every row of the few damaged, foreign and tidied files is drawn.
      await page.setViewportSize({ width: 1280, height: 4000 });
      await page.fill('#search', '');
      for (const verdict of ['damaged', 'foreign', 'tidied', 'in_order']) {
        await page.selectOption('#filter', verdict);
        await page.waitForFunction((v) => {
          const drawn = [...document.querySelectorAll('#results tbody tr.row')];
          return drawn.every((tr) => tr.dataset.verdict === v) && (v === 'in_order' || drawn.length === window.railview.shown().length);
        }, verdict);
        const rows = await page.$$eval('#results tbody tr.row', (trs) => trs.map((tr) => [...tr.querySelectorAll('button')].map((b) => [b.textContent, b.getAttribute('aria-label')])));
        assert.ok(rows.length > 0, verdict);
        for (const buttons of rows) assert.equal(buttons.some(([text]) => text === words.rescue), verdict === 'damaged', verdict);
        const downloads = rows.flat().filter(([text]) => text === words.download).map(([, label]) => label);
        const written = verdict === 'tidied' ? [...wanted.keys()].map((path) => words.downloadRow(basename(path))) : [];
        assert.deepEqual(new Set(downloads), new Set(written), verdict);
      }
      // Chromium refuses a burst of more than ten downloads: eight are taken.
      await page.selectOption('#filter', 'tidied');
      for (const [path, bytes] of [...wanted].slice(0, 8)) {
        const one = await download(page, () => page.getByRole('button', { name: words.downloadRow(basename(path)), exact: true }).first().click());
        assert.equal(one.name, basename(path));
        assert.deepEqual(one.bytes, bytes, path);
      }
      await page.selectOption('#filter', 'all');
      await page.setViewportSize({ width: 1280, height: 860 });
    });

    test('a damaged file is rescued as railinspect --rescue rescues it, one that cannot be says why; the zip holds the rescue beside railfmt\'s files', async () => {
      const number = new Intl.NumberFormat(language);
      const RESCUES = [
        { name: 'cut.anl', outcome: 'rescued', zipped: true, guards: 'the tracks and placed models before the damage come back' },
        { name: 'taken.anl', outcome: 'rescued', zipped: false, guards: 'unpacking the zip never replaces a file of the rescued name' },
        { name: 'empty.anl', outcome: 'nothing', guards: 'a file with no record before the damage says so' },
        { name: 'flipped.mod', outcome: 'nothing', guards: 'damage in the header leaves nothing to keep' },
      ];
      for (const c of RESCUES) {
        const path = `planning/damaged/${c.name}`;
        const native = rescueNatively(join(planning, 'damaged', c.name), language);
        assert.equal(native.rescue.outcome, c.outcome, `${c.name}: ${c.guards}`);
        await details(page, path);
        // The next step names the button by its label.
        assert.ok((await page.textContent('#details-verdict .next')).includes(words.rescue));
        await page.click('#rescue-button');
        await page.waitForSelector('#rescue-part .rescue');
        const lines = await rescueLines(page);
        if (c.outcome !== 'rescued') {
          assert.deepEqual(lines, native.rescue.lines, c.guards);
          assert.equal(await page.$('#rescue-download'), null, c.guards);
          continue;
        }
        // railinspect's first line says where it wrote the file; the page's, the file it offers.
        assert.deepEqual(lines.slice(1), native.rescue.lines.slice(1), c.guards);
        assert.ok(lines[0].includes(native.rescue.rescued_name) && lines[0].includes(number.format(native.bytes.length)), lines[0]);
        const rescued = await download(page, () => page.click('#rescue-download'));
        assert.equal(rescued.name, native.rescue.rescued_name);
        assert.ok(rescued.bytes.equals(native.bytes), c.guards);
        assert.equal(await page.$('#rescue-part .warning') === null, c.zipped, c.guards);
      }
      await page.click('#close');

      // The row's own button opens the rescue at once. The zip then holds
      // exactly the new and changed files, by their real names and dated
      // now, and the rescued file beside the damaged one; nothing for a
      // rescue whose name is taken, nor for a file not rescued.
      await page.fill('#search', 'planning/damaged/cut.anl');
      await page.getByRole('button', { name: words.rescueRow('planning/damaged/cut.anl'), exact: true }).click();
      await page.waitForSelector('#rescue-download');
      const native = rescueNatively(join(planning, 'damaged', 'cut.anl'), language);
      assert.deepEqual((await rescueLines(page)).slice(1), native.rescue.lines.slice(1));
      await page.screenshot({ path: join(shots, `rescue-${language}.png`) });
      await page.locator('#rescue-part').screenshot({ path: join(shots, `rescue-part-${language}.png`) });
      await page.click('#close');
      const zip = readZip((await download(page, () => page.click('#download-zip'))).bytes);
      const zipped = new Map([...wanted, ['damaged/cut.rescued.anl', native.bytes]]);
      assert.ok(zipped.has('Müller.rol'), [...zipped.keys()].join(' '));
      assert.deepEqual([...zip.keys()].sort(), [...zipped.keys()].sort());
      for (const [name, { bytes, utf8, seconds }] of zip) {
        assert.ok(bytes.equals(zipped.get(name)), name);
        assert.equal(utf8, 0x800, name);
        assert.ok(Math.abs(seconds - Date.now() / 1000) < 600, `${name} dated ${seconds}`);
      }
      await page.fill('#search', '');
      await page.click('#summary .chip[data-filter="all"]');
    });

    test('on a phone the table keeps its labels and Close stays on screen', async () => {
      await page.setViewportSize({ width: 390, height: 760 });
      const label = await page.$eval('#results tbody tr.row td.result', (td) => getComputedStyle(td, '::before').content);
      assert.equal(label, JSON.stringify(language === 'de' ? 'Ergebnis' : 'Result'));
      await page.locator('#table-frame').scrollIntoViewIfNeeded();
      await page.screenshot({ path: join(shots, `phone-table-${language}.png`) });
      await details(page, 'planning/damaged/flipped.mod');
      const close = await page.getByRole('button', { name: words.close, exact: true }).boundingBox();
      assert.ok(close.x >= 0 && close.x + close.width <= 390 && close.y >= 0, JSON.stringify(close));
      await page.screenshot({ path: join(shots, `phone-damaged-${language}.png`) });
      await page.mouse.wheel(0, 2000);
      const scrolled = await page.getByRole('button', { name: words.close, exact: true }).boundingBox();
      assert.ok(scrolled.y >= 0 && scrolled.y + scrolled.height <= 760, JSON.stringify(scrolled));
      await page.click('#close');
      await page.setViewportSize({ width: 1280, height: 860 });
    });
  });
}

// A folder opened in place: the page writes into it.
describe('railview in place', () => {
  let page;
  before(async () => {
    page = await newPage();
  });
  after(() => page.context().close());
  const meddled = Buffer.from('saved meanwhile by the planning program');

  test('Apply writes into the folder what railfmt writes there, and leaves alone a file changed after reading', async () => {
    await privateFolder.write(page, 'planning', filesIn(planning));
    await privateFolder.open(page, 'planning');
    const changed = expected.top.files.find((f) => f.railfmt?.action === 'change').entry_name;
    await privateFolder.write(page, 'planning', new Map([[changed, meddled]]));
    await page.click('#apply');
    await page.waitForSelector('#report[open]');
    const outcome = JSON.parse(await page.$eval('body', (b) => b.dataset.applied));
    assert.equal(outcome.changed, 1);
    assert.equal(outcome.failed + outcome.appeared, 0);
    await page.screenshot({ path: join(shots, 'applied-en.png') });
    await page.click('#report-close');
    const now = await privateFolder.read(page, 'planning');
    const written = new Map([...expected.top.after, [changed, meddled]]);
    assert.deepEqual([...now.keys()].sort(), [...written.keys()].sort());
    for (const [name, bytes] of written) assert.ok(now.get(name).equals(bytes), name);
  });

  // Each damaged layout is the same cut layout; each meets another reason
  // not to write.
  const SAVES = [
    { name: 'cut.anl', outcome: 'written', guards: 'the rescued file is saved beside the damaged one' },
    { name: 'taken.anl', outcome: 'exists', guards: 'a file of the rescued name is never replaced' },
    { name: 'meddled.anl', outcome: 'changed', guards: 'a file changed after reading is not rescued from what was read' },
  ];

  test('a rescued file is saved beside the damaged one, never over a file nor from a file changed after reading', async () => {
    const folder = new Map(SAVES.map((c) => [c.name, cutLayout(env('RAILFMT_SAMPLES'))]));
    folder.set('taken.rescued.anl', Buffer.from('kept by its owner'));
    await privateFolder.write(page, 'rescue', folder);
    await privateFolder.open(page, 'rescue');
    await privateFolder.write(page, 'rescue', new Map([['meddled.anl', meddled]]));
    const native = rescueNatively(join(planning, 'damaged', 'cut.anl'), 'en');
    for (const c of SAVES) {
      await details(page, `rescue/${c.name}`);
      await page.click('#rescue-button');
      await page.click('#rescue-save');
      await page.waitForSelector('#rescue-saved[data-outcome]');
      assert.equal(await page.$eval('#rescue-saved', (p) => p.dataset.outcome), c.outcome, c.guards);
      if (c.outcome === 'written') await page.locator('#rescue-part').screenshot({ path: join(shots, 'rescue-in-place-en.png') });
    }
    const written = new Map([...folder, ['meddled.anl', meddled], ['cut.rescued.anl', native.bytes]]);
    const now = await privateFolder.read(page, 'rescue');
    assert.deepEqual([...now.keys()].sort(), [...written.keys()].sort());
    for (const [name, bytes] of written) assert.ok(now.get(name).equals(bytes), name);
  });
});

describe('railview.html opened from disk', () => {
  for (const [what, setUp] of [['with a worker', null], ['where the browser refuses workers', () => { delete window.Worker; }]]) {
    test(`processes the samples offline ${what}`, async () => {
      const page = await newPage({ offline: true, setUp });
      assert.equal(await page.$eval('body', (b) => b.dataset.worker), setUp ? 'page' : 'worker');
      await openFolder(page, env('RAILFMT_SAMPLES'));
      const rows = await pageRows(page);
      const samples = inspect(env('RAILFMT_SAMPLES'));
      assert.deepEqual(rows.map((r) => [r.name, r.verdict, r.text]).sort(), samples.map((f) => [f.entry_name, f.verdict.name, f.verdict.text]).sort());
      await page.context().close();
    });
  }

  test('speaks the language chosen with the switch, and remembers it', async () => {
    const page = await newPage({ language: 'de' });
    assert.equal(await page.textContent('#open-folder'), 'Ordner öffnen');
    await page.click('[data-language="en"]');
    assert.equal(await page.getAttribute('html', 'lang'), 'en');
    assert.equal(await page.textContent('#open-folder'), 'Open folder');
    await page.reload();
    await page.waitForSelector('body[data-state="ready"]');
    assert.equal(await page.textContent('#open-folder'), 'Open folder');
    await page.context().close();
  });
});

describe('speed', () => {
  test('2,000 files: the page beside native railfmt, measured in the same run', async () => {
    const dir = join(scratch, 'speed', 'corpus');
    execFileSync(bin('make_corpus'), [dir, '2000', '11']);
    const native = inspectAndRun(dir, join(scratch, 'speed', 'native'), 3);
    // The fastest of three runs of the page too, each in a fresh page.
    let best = null;
    for (let i = 0; i < 3; i++) {
      const page = await newPage();
      await openFolder(page, dir);
      assert.equal((await pageRows(page)).length, 2000);
      const figures = await page.$eval('body', (b) => ({ ...b.dataset }));
      if (!best || Number(figures.seconds) < Number(best.seconds)) best = figures;
      await page.context().close();
    }
    const [seconds, reading, work] = [best.seconds, best.reading, best.work].map(Number);
    const phases = Object.entries(JSON.parse(best.phases)).map(([k, v]) => `${k} ${v.toFixed(2)} s`);
    const line = `2000 files: native railfmt ${native.seconds.toFixed(2)} s; page ${seconds.toFixed(2)} s in all ` +
      `(${(seconds / native.seconds).toFixed(2)} x native), of it the browser reading ${reading.toFixed(2)} s, ` +
      `the page's own work ${work.toFixed(2)} s (${(work / native.seconds).toFixed(2)} x native: ${phases.join(', ')})`;
    console.log(line);
    writeFileSync(join(shots, 'speed.txt'), `${line}\n`);
  });

  test('nothing was fetched but the page itself', () => {
    assert.deepEqual(problems, []);
    assert.deepEqual(server.missing, []);
    assert.ok(server.requests.every((r) => r === '/'), server.requests.join(' '));
  });
});
