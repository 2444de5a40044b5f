#!/usr/bin/env bash
# Cross-builds railfmt for 64-bit Windows with MinGW-w64 and runs the tests
# under Wine. Usage: scripts/windows.sh [--package] [CTEST ARGS...]
#   --package  also writes build/windows/railfmt-<version>-win64.zip
# Installs what is missing (Debian, as root or with sudo), cross-builds
# GoogleTest once and initialises a private Wine prefix once; both are kept in
# build/windows-deps and rebuilt when the packages behind them change.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
deps=$root/build/windows-deps
prefix=$deps/install
# The same Wine settings as cmake/wine-run.sh, which runs the tests.
export WINEPREFIX=$deps/wine WINEDEBUG=-all LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"

package=0
if [ "${1:-}" = "--package" ]; then
  package=1
  shift
fi

step_start=$SECONDS
step() {
  echo "windows: $1 took $((SECONDS - step_start)) s" >&2
  step_start=$SECONDS
}

# Packages. --no-install-recommends keeps Wine to its 64-bit core (no 32-bit
# Wine, fonts or desktop pieces; none is needed by console programs).
scripts/setup.sh cmake make g++-mingw-w64-x86-64-posix wine wine64 googletest nlohmann-json3-dev
step "packages"

# GoogleTest has no MinGW package: build Debian's sources with the same
# toolchain, once per googletest version and toolchain file.
toolchain=$root/cmake/mingw-w64-x86_64.cmake
stamp="$(dpkg-query -W -f='${Version}' googletest) $(x86_64-w64-mingw32-g++-posix -dumpfullversion) $(sha1sum <"$toolchain" | cut -c1-12)"
if [ "$(cat "$prefix/googletest.stamp" 2>/dev/null)" != "$stamp" ]; then
  rm -rf "$deps/googletest-build" "$prefix"
  cmake -S /usr/src/googletest -B "$deps/googletest-build" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
  cmake --build "$deps/googletest-build" -j2 >/dev/null
  cmake --install "$deps/googletest-build" >/dev/null
  rm -rf "$deps/googletest-build"
  echo "$stamp" >"$prefix/googletest.stamp"
fi
# The header-only JSON package, seen through a prefix that holds nothing
# else: its CMake files would otherwise put /usr/include, with its Linux C
# headers, on the cross compiler's include path.
mkdir -p "$prefix/include" "$prefix/share/cmake"
ln -sfn /usr/include/nlohmann "$prefix/include/nlohmann"
ln -sfn /usr/share/cmake/nlohmann_json "$prefix/share/cmake/nlohmann_json"
step "googletest"

cmake --preset windows >/dev/null
step "configure"
cmake --build --preset windows
step "build"
if [ "$package" -eq 1 ]; then
  (cd build/windows && cpack -G ZIP >/dev/null)
  echo "windows: wrote $(ls build/windows/*-win64.zip)" >&2
  step "package"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot --init >/dev/null 2>&1
  wineserver -w
fi
step "wine prefix"

# A persistent Wine server, and Wine's background services started by a
# throwaway program with no terminal or pipe: otherwise each test would boot
# them anew (seconds) and they would hold ctest's output pipes open.
# A server left behind by an interrupted run belongs to this build's prefix.
stop_wine() { wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; }
stop_wine
trap stop_wine EXIT
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
step "wine start"
status=0
ctest --preset windows "$@" || status=$?
step "ctest"
exit "$status"
