#!/usr/bin/env bash
# The README's install line as a user runs it: on a clean clone of the
# committed tree, word for word, with HOME pointing at a scratch folder so
# that its ~/.local is a scratch prefix. The release build must be free of
# warnings (the preset does not make them errors: a user's compiler may warn
# where ours does not). Then the installed tree is used as the README says:
# the tools from PATH over the installed samples, and everything
# tests/install/installed_tree_test.sh checks (manual pages in both
# languages, completion, the library through CMake and pkg-config).
# Usage: scripts/install_check.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source_tree=$PWD
scratch="$(mktemp -d "${TMPDIR:-/tmp}/railfmt-install-check-XXXXXX")"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "install_check: FAIL: $*" >&2; exit 1; }

line="$(grep -m1 '^cmake --preset release ' README.md)" || fail "README.md has no line beginning 'cmake --preset release'"
git clone --quiet --no-local "$source_tree" "$scratch/railfmt"
# The compiler cache stays where it is, and takes paths inside the clone as
# relative ones, so that later checks find what earlier ones compiled.
if command -v ccache >/dev/null; then
  CCACHE_DIR="$(ccache --get-config cache_dir)"
  export CCACHE_DIR CCACHE_BASEDIR="$scratch/railfmt"
fi
mkdir "$scratch/home"
echo "install_check: $line" >&2
(cd "$scratch/railfmt" && HOME="$scratch/home" bash -c "$line") >"$scratch/build.log" 2>&1 ||
  { tail -n 40 "$scratch/build.log" >&2; fail "the README's install line failed"; }
if grep -n 'warning:' "$scratch/build.log" >&2; then fail "the release build warns"; fi

prefix="$scratch/home/.local"
version="$(sed -n 's/^project(railfmt VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
[ "$(PATH="$prefix/bin" railinspect --version)" = "railinspect $version" ] || fail "railinspect --version"
examples="$prefix/share/doc/railfmt/examples"
[ -f "$examples/station.mod" ] || fail "no samples in $examples"
# The README's first steps: railinspect --check on the folder, railfmt on a
# copy of it.
status=0
PATH="$prefix/bin" railinspect --check "$examples" >"$scratch/check.out" || status=$?
[ "$status" -eq 1 ] && grep -q 'would write' "$scratch/check.out" || fail "railinspect --check on the samples: $status"
cp -r "$examples" "$scratch/copy"
(cd "$scratch/copy" && PATH="$prefix/bin" railfmt >/dev/null) || fail "railfmt on a copy of the samples"
diff -rq "$examples" "$scratch/copy" >/dev/null && fail "railfmt wrote nothing in the copy"
PATH="$prefix/bin" railinspect --check "$scratch/copy" >/dev/null || fail "a second look finds more to write"

bash tests/install/installed_tree_test.sh "$scratch/railfmt/build/release" "$scratch/railfmt" "$version" g++
echo "install_check: the README's install line built and installed a working tree from a clean clone"
