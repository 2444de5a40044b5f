#!/usr/bin/env bash
# The railview web page: installs what building and testing it needs when it
# is missing, builds the page with the wasm preset and serves it on the
# loopback address (printing the address) until interrupted.
#   scripts/web.sh [PORT]   build and serve (port 8080 by default)
#   scripts/web.sh --test   build, then run the browser tests (for CI); they
#                           compare with the native tools of build/default,
#                           which this builds first
# The page is one self-contained file, build/wasm/railview.html, that works
# opened from disk; build/wasm/site holds the same file as index.html for
# any static web server.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(clang-19 lld-19 libc++-19-dev-wasm32 libc++abi-19-dev-wasm32 libclang-rt-19-dev-wasm32 wasi-libc
  nlohmann-json3-dev cmake make)
[ "${1:-}" = --test ] && packages+=(chromium python3)
scripts/setup.sh "${packages[@]}"
# The tests and the server need Node.js 20 or later (playwright-core 1.65).
if ! node -e 'process.exit(Number(process.versions.node.split(".")[0]) < 20 ? 1 : 0)' 2>/dev/null; then
  echo "web: Node.js 20 or later is needed" >&2
  exit 1
fi

cmake --preset wasm >/dev/null
cmake --build --preset wasm
echo "web: built $PWD/build/wasm/railview.html" >&2

if [ "${1:-}" = --test ]; then
  [ -d tests/web/node_modules/playwright-core ] || npm ci --prefix tests/web --no-audit --no-fund >&2
  cmake --preset default >/dev/null
  cmake --build --preset default --target railfmt railinspect make_corpus
  ctest --preset wasm
else
  exec node web/serve.mjs build/wasm/site "${1:-8080}"
fi
