// A static file server on the loopback address, for scripts/web.sh and the
// browser tests: the page is one file, but any other a site holds goes out
// with its type (.wasm as application/wasm). Every request is noted so a
// test can tell what the page fetched.
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, resolve, sep } from 'node:path';

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8', '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
};

export async function serve(root, port = 0) {
  const requests = [];
  const missing = [];
  const server = createServer(async (req, res) => {
    const path = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    requests.push(path);
    const file = normalize(join(root, path.endsWith('/') ? `${path}index.html` : path));
    if (!file.startsWith(root + sep)) return void res.writeHead(403).end();
    try {
      const body = await readFile(file);
      res.writeHead(200, { 'Content-Type': TYPES[extname(file)] ?? 'application/octet-stream' });
      res.end(body);
    } catch {
      missing.push(path);
      res.writeHead(404).end();
    }
  });
  await new Promise((done) => server.listen(port, '127.0.0.1', done));
  const origin = `http://127.0.0.1:${server.address().port}`;
  return { origin, requests, missing, close: () => new Promise((done) => server.close(done)) };
}

// node serve.mjs SITE [PORT]: serves SITE until interrupted.
if (process.argv[1] === new URL(import.meta.url).pathname) {
  const { origin } = await serve(resolve(process.argv[2]), Number(process.argv[3] ?? 8080));
  console.log(`railview: ${origin}/`);
}
