// The railview page in Debian's chromium, driven by playwright-core, against
// the native tools of another build: what the page shows and hands out must
// be what railinspect --json reports and what railfmt writes.
//   RAILVIEW_SITE           the built site folder
//   RAILFMT_NATIVE_BIN_DIR  a native build with railfmt, railinspect, make_corpus
//   RAILFMT_SAMPLES         the bundled samples
//   RAILVIEW_SHOTS          where the screenshots go
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { cpSync, mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { chromium } from 'playwright-core';
import { serve } from '../../web/serve.mjs';

const env = (name) => { assert.ok(process.env[name], `${name} is not set`); return process.env[name]; };
const bin = (tool) => join(env('RAILFMT_NATIVE_BIN_DIR'), { railfmt: 'driver', railinspect: 'tools/railinspect', make_corpus: 'tools' }[tool], tool);
const shots = env('RAILVIEW_SHOTS');
const scratch = mkdtempSync(join(tmpdir(), 'railview-test-'));

// A folder as the user has it, and what the native tools say and write there.
function folder(name, fill, inspect = true) {
  const dir = join(scratch, name, 'planning');
  mkdirSync(dir, { recursive: true });
  fill(dir);
  // Its exit status says whether every file was recognised: not asked here.
  const report = inspect ? JSON.parse(spawnSync(bin('railinspect'), ['--json', dir], { maxBuffer: 1 << 30 }).stdout) : { files: [] };
  const after = join(scratch, name, 'after');
  cpSync(dir, after, { recursive: true });
  const t0 = performance.now();
  execFileSync(bin('railfmt'), { cwd: after });
  const seconds = (performance.now() - t0) / 1000;
  const files = new Map(report.files.map((f) => [f.entry_name, f]));
  return { dir, after, files, seconds };
}

let server, browser, page, problems = [], requestsAtReady;
const rowsOnPage = () => page.$$eval('#results tbody tr', (trs) => trs.map((tr) => {
  const [path, kind, output, verdict] = [...tr.children].map((c) => c.textContent);
  return { path, kind, output, action: tr.dataset.action, text: tr.children[3].title, verdict };
}));
async function open(dir) {
  await page.setInputFiles('#folder', dir);
  await page.waitForSelector('body[data-state="done"]', { timeout: 300_000 });
}
async function download(click) {
  const [d] = await Promise.all([page.waitForEvent('download'), click()]);
  return { name: d.suggestedFilename(), bytes: readFileSync(await d.path()) };
}
const details = async (path) => {
  if (await page.$eval('#details', (d) => d.open)) await page.click('#close');
  await page.getByRole('button', { name: `Details of ${path}`, exact: true }).click();
  await page.waitForFunction((p) => document.getElementById('details-heading').textContent.startsWith(p), path);
};

before(async () => {
  server = await serve(env('RAILVIEW_SITE'));
  browser = await chromium.launch({ executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium', args: ['--no-sandbox'] });
  const context = await browser.newContext({ acceptDownloads: true, viewport: { width: 1280, height: 800 } });
  // Anything but the page's own server is refused and remembered.
  await context.route('**/*', (route) => {
    const url = route.request().url();
    if (!url.startsWith(`${server.origin}/`) && !url.startsWith('blob:')) problems.push(url);
    return url.startsWith(`${server.origin}/`) || url.startsWith('blob:') ? route.continue() : route.abort();
  });
  page = await context.newPage();
  page.on('pageerror', (e) => problems.push(`page error: ${e.message}`));
  await page.goto(`${server.origin}/`);
  await page.waitForSelector('body[data-state="ready"]');
  requestsAtReady = server.requests.length;
});
after(async () => {
  await browser?.close();
  await server?.close();
  rmSync(scratch, { recursive: true, force: true });
});

describe('railview against railinspect and railfmt', () => {
  const mixed = folder('mixed', (dir) => {
    cpSync(env('RAILFMT_SAMPLES'), dir, { recursive: true });
    execFileSync(bin('make_corpus'), [dir, '300', '7']);
    const damaged = readFileSync(join(dir, 'station.mod'));
    damaged[2] ^= 1;  // the reserved word of the model header
    writeFileSync(join(dir, 'damaged.mod'), damaged);
  });

  test('every row has the kind, output name and prediction railinspect reports', async () => {
    await open(mixed.dir);
    const rows = await rowsOnPage();
    assert.equal(rows.length, readdirSync(mixed.dir).length);
    // railinspect leaves out of a folder's report the names railfmt skips.
    assert.equal(rows.filter((r) => r.action === 'skip').length, rows.length - mixed.files.size);
    for (const row of rows.filter((r) => r.action !== 'skip')) {
      const f = mixed.files.get(row.path.slice(row.path.lastIndexOf('/') + 1));
      assert.deepEqual([row.kind, row.output, row.action, row.text],
        [f.kind ?? '—', f.output_name ?? '—', f.railfmt.action, f.railfmt.text], row.path);
    }
    assert.ok(rows.some((r) => r.action === 'change') && rows.some((r) => r.verdict === 'not recognised'));
  });

  test('the zip and each download hold exactly what railfmt wrote', async () => {
    const zip = await download(() => page.getByRole('button', { name: /Download all/ }).click());
    const zipPath = join(scratch, 'all.zip');
    writeFileSync(zipPath, zip.bytes);
    // Read back by an independent implementation.
    const listing = JSON.parse(execFileSync('python3', ['-c', `
import json, sys, zipfile
z = zipfile.ZipFile(sys.argv[1]); assert z.testzip() is None
print(json.dumps({i.filename.split('/')[-1]: z.read(i).hex() for i in z.infolist()}))`, zipPath], { maxBuffer: 1 << 30 }));
    const outputs = [...mixed.files.values()].filter((f) => ['unchanged', 'change', 'create', 'replace'].includes(f.railfmt.action));
    assert.deepEqual(Object.keys(listing).sort(), [...new Set(outputs.map((f) => f.output_name))].sort());
    for (const [name, hex] of Object.entries(listing)) {
      assert.equal(hex, readFileSync(join(mixed.after, name)).toString('hex'), name);
    }
    for (const f of outputs.filter((o) => o.railfmt.action !== 'unchanged').slice(0, 5)) {
      const one = await download(() => page.getByRole('button', { name: `Download ${f.output_name}`, exact: true }).first().click());
      assert.equal(one.name, f.output_name);
      assert.deepEqual(one.bytes, readFileSync(join(mixed.after, f.output_name)), f.output_name);
    }
  });

  test('a damaged file shows every kind\'s failing check, its mismatch lines and the bytes', async () => {
    await details('planning/damaged.mod');
    const expected = mixed.files.get('damaged.mod');
    const shown = await page.$$eval('#checks .attempt', (parts) => parts.map((p) => p.textContent));
    assert.equal(shown.length, expected.attempts.length);
    expected.attempts.forEach((a, i) => {
      for (const line of [a.kind, a.reason, ...a.mismatches, ...a.said.map((s) => s.explanation)]) assert.ok(shown[i].includes(line), line);
    });
    assert.ok((await page.textContent('#checks .hex')).includes(expected.hex_window.bytes.split(' ')[0]));
    assert.ok(await page.isVisible('#checks .hex mark'));
    await page.screenshot({ path: join(shots, 'rejected.png') });
    await page.setViewportSize({ width: 420, height: 800 });
    await page.screenshot({ path: join(shots, 'rejected-narrow.png') });
    await page.setViewportSize({ width: 1280, height: 800 });
  });

  test('a layout\'s picture has one element per track, and the keys zoom it', async () => {
    for (const name of ['anlage_gleistypen.anl', 'anlage_bruecken.anl']) {
      await details(`planning/${name}`);
      const svg = await download(() => page.getByRole('button', { name: 'Download picture (SVG)' }).click());
      const text = svg.bytes.toString();
      const group = text.slice(text.indexOf('<g class="tracks">'));
      const numbered = mixed.files.get(name).content.Tracks.filter((t) => t.Number !== 0);
      assert.equal(group.slice(0, group.indexOf('</g>')).split('<path ').length - 1, numbered.length, name);
    }
    await page.waitForFunction(() => document.getElementById('picture').naturalWidth > 0);
    const before = await page.$eval('#picture', (i) => i.style.transform);
    await page.focus('#viewport');
    await page.keyboard.press('+');
    assert.notEqual(await page.$eval('#picture', (i) => i.style.transform), before);
    await page.keyboard.press('0');
    await page.screenshot({ path: join(shots, 'layout.png') });
    await details('planning/station.mod');
    await page.click('#json-part summary');
    await page.screenshot({ path: join(shots, 'model.png') });
    await page.click('#close');
    await page.screenshot({ path: join(shots, 'table.png') });
  });

  test('2,000 files: the time the page takes beside native railfmt\'s', async () => {
    const big = folder('speed', (dir) => execFileSync(bin('make_corpus'), [dir, '2000', '11']), false);
    await open(big.dir);
    assert.equal((await rowsOnPage()).length, 2000);
    const [seconds, reading] = await page.$eval('body', (b) => [b.dataset.seconds, b.dataset.reading].map(Number));
    const line = `2000 files: page ${seconds} s (the browser reading them: ${reading} s), native railfmt ` +
      `${big.seconds.toFixed(2)} s; ratio ${(seconds / big.seconds).toFixed(2)}, without reading ${((seconds - reading) / big.seconds).toFixed(2)}`;
    console.log(line);
    writeFileSync(join(shots, 'speed.txt'), `${line}\n`);
  });

  test('nothing was fetched but the page\'s own files, all at start-up', () => {
    assert.deepEqual(problems, []);
    assert.deepEqual(server.missing, []);
    assert.equal(server.requests.length, requestsAtReady, server.requests.join(' '));
  });
});
