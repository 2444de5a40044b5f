// The library (railview.wasm) and its C interface as JavaScript calls. The
// module is compiled once from the bytes the page carries; loadLibrary
// makes an instance of it (a fresh one after a trap). Bytes are copied in
// once and out once; the copies are plain buffers that can be transferred.
'use strict';

const Library = (() => {
  const encoder = new TextEncoder();
  const decoder = new TextDecoder('utf-8');  // not fatal: bytes that are not UTF-8 show as U+FFFD
  const ENOSYS = 52;
  let compiled = null;

  function compile(bytes) {
    compiled = WebAssembly.compile(bytes);
    return compiled;
  }

  async function load() {
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
      try {
        return f(...pointers);
      } finally {
        pointers.forEach((p) => x.rv_free(p));
      }
    }
    function handle(made) {
      if (made === 0) throw new RangeError('the library is out of memory');
      return made;
    }
    // The last result: its bytes (a copy), its text, its JSON.
    const bytes = (size) => heap().slice(x.rv_data() >>> 0, (x.rv_data() >>> 0) + (size >>> 0));
    const text = (size) => decoder.decode(heap().subarray(x.rv_data() >>> 0, (x.rv_data() >>> 0) + (size >>> 0)));
    const json = (size) => JSON.parse(text(size));
    const languageCode = (language) => (language === 'de' ? 1 : 0);

    return {
      catalogue: (language) => json(x.rv_catalogue(languageCode(language))),
      // One folder of files, run as railfmt runs over a directory.
      newRun() {
        const run = handle(x.rv_run_new());
        return {
          // A file whose bytes come later: its number.
          addFile(name) {
            const n = encoder.encode(name);
            return using([n], (np) => x.rv_run_add_file(run, np, n.length)) >>> 0;
          },
          fill(file, data) {
            using([data], (dp) => x.rv_run_fill(run, file, dp, data.length));
          },
          addFolder(name) {
            const n = encoder.encode(name);
            using([n], (np) => x.rv_run_add_folder(run, np, n.length));
          },
          start: (language) => x.rv_run_start(run, languageCode(language)) >>> 0,
          readOrder: () => json(x.rv_run_read_order(run)),
          ready: () => x.rv_run_ready(run) >>> 0,
          stale: () => x.rv_run_stale(run) !== 0,
          row: (k) => json(x.rv_run_row(run, k)),
          // What the run leaves different: [{name, created, bytes}].
          finish() {
            const count = x.rv_run_finish(run) >>> 0;
            const changes = [];
            for (let i = 0; i < count; i++) {
              const change = json(x.rv_run_change(run, i));
              change.bytes = bytes(x.rv_run_change_bytes(run, i));
              changes.push(change);
            }
            return { changes, mismatches: text(x.rv_run_mismatches(run)) };
          },
          document: (k) => text(x.rv_run_document(run, k)),
          picture: (k, width, height) => json(x.rv_run_picture(run, k, width, height)),
          // Row k rescued, as railinspect --rescue rescues it: its fields,
          // with the rescued bytes when there are any.
          rescue(k) {
            const rescue = json(x.rv_run_rescue(run, k));
            if (rescue?.rescued_name) rescue.bytes = bytes(x.rv_run_rescued_bytes(run));
            return rescue;
          },
          free: () => x.rv_run_free(run),
        };
      },
      // A zip of [{name, bytes}], stored, dated time (a Date).
      zip(files, time) {
        const zip = handle(x.rv_zip_new());
        const seconds = Math.floor(time.getTime() / 1000);
        const offset = -time.getTimezoneOffset();
        const added = files.every((f) => {
          const n = encoder.encode(f.name);
          return using([n, f.bytes], (np, bp) => x.rv_zip_add(zip, np, n.length, bp, f.bytes.length, seconds, offset));
        });
        const made = bytes(x.rv_zip_finish(zip));
        if (!added) throw new RangeError('too many or too large files for a zip archive');
        return made;
      },
    };
  }

  return { compile, load };
})();
