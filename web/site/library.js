// The library (railview.wasm) and its C interface as JavaScript calls. The
// module is fetched and compiled once, at start-up; loadLibrary makes an
// instance of it (a fresh one after a trap), so no request follows.
// Bytes are copied in once and out once; the copies are plain buffers that
// can be transferred to the page.
const compiled = WebAssembly.compileStreaming(fetch(new URL('./railview.wasm', import.meta.url)));
const encoder = new TextEncoder();
const decoder = new TextDecoder('utf-8'); // not fatal: bytes that are not UTF-8 show as U+FFFD
const ENOSYS = 52;

export async function loadLibrary() {
  const module = await compiled;
  let memory = null;
  const heap = () => new Uint8Array(memory.buffer);
  // The library writes to standard error only when something is badly
  // wrong; every other system call is answered "not supported".
  const system = {
    fd_write(fd, iovs, count, written) {
      const view = new DataView(memory.buffer);
      let text = '';
      let n = 0;
      for (let i = 0; i < count; i++) {
        const p = view.getUint32(iovs + 8 * i, true);
        const size = view.getUint32(iovs + 8 * i + 4, true);
        text += decoder.decode(heap().subarray(p, p + size));
        n += size;
      }
      console.warn(`railview (${fd}): ${text}`);
      view.setUint32(written, n, true);
      return 0;
    },
    proc_exit(code) { throw new WebAssembly.RuntimeError(`exit ${code}`); },
  };
  const imports = {};
  for (const { module: m, name } of WebAssembly.Module.imports(module)) {
    imports[m] ??= {};
    imports[m][name] = system[name] ?? (() => ENOSYS);
  }
  const x = (await WebAssembly.instantiate(module, imports)).exports;
  memory = x.memory;
  x._initialize();

  // Calls f with the byte arrays copied into the library's memory.
  function using(arrays, f) {
    const pointers = arrays.map((bytes) => {
      const p = x.rv_alloc(bytes.length) >>> 0;
      if (p === 0) throw new RangeError('the library is out of memory');
      heap().set(bytes, p);
      return p;
    });
    const result = f(...pointers);
    pointers.forEach((p) => x.rv_free(p));
    return result;
  }
  function handle(made) {
    if (made === 0) throw new RangeError('the library is out of memory');
    return made;
  }
  // The result a call left in a run: its bytes (a copy), or its text.
  const bytesOf = (run, size) => heap().slice(x.rv_data(run) >>> 0, (x.rv_data(run) >>> 0) + (size >>> 0));
  const textOf = (run, size) => decoder.decode(bytesOf(run, size));

  return {
    // One folder of files, run as railfmt runs over a directory.
    newRun() {
      const run = handle(x.rv_run_new());
      return {
        add(name, bytes) {
          const n = encoder.encode(name);
          using([n, bytes], (np, bp) => x.rv_run_add(run, np, n.length, bp, bytes.length));
        },
        start: () => x.rv_run_start(run) >>> 0,
        visit: (k) => JSON.parse(textOf(run, x.rv_run_visit(run, k))),
        // The files the run wrote: [{name, bytes}], their final bytes.
        finish() {
          const count = x.rv_run_finish(run) >>> 0;
          const files = [];
          for (let i = 0; i < count; i++) {
            const name = bytesOf(run, x.rv_run_written_name(run, i));
            files.push({ name, bytes: bytesOf(run, x.rv_run_written_bytes(run, i)) });
          }
          return { files, mismatches: textOf(run, x.rv_run_mismatches(run)) };
        },
        document: (k) => textOf(run, x.rv_run_document(run, k)),
        picture: (k) => textOf(run, x.rv_run_picture(run, k)),
        free: () => x.rv_run_free(run),
      };
    },
    // A zip of [{name (bytes), bytes}], stored.
    zip(files) {
      const zip = handle(x.rv_zip_new());
      for (const f of files) {
        if (!using([f.name, f.bytes], (np, bp) => x.rv_zip_add(zip, np, f.name.length, bp, f.bytes.length))) {
          throw new RangeError('too many or too large files for a zip archive');
        }
      }
      const result = handle(x.rv_run_new());
      const bytes = bytesOf(result, x.rv_zip_finish(zip, result));
      x.rv_run_free(result);
      return bytes;
    },
  };
}
