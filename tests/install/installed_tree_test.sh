#!/usr/bin/env bash
# Installs the built tree into a scratch prefix and uses it as a user would:
# the tools from PATH, the manual pages (English and German) through man,
# the sample files, bash completion, the
# library from a CMake project (find_package) and from one compiler command
# (pkg-config), and every installed header compiled on its own.
# Usage: installed_tree_test.sh BUILD_DIR SOURCE_DIR VERSION CXX
set -euo pipefail
build=$1 source=$2 version=$3 cxx=$4
scratch="$(mktemp -d "${TMPDIR:-/tmp}/railfmt-install-XXXXXX")"
trap 'rm -rf "$scratch"' EXIT
prefix="$scratch/prefix"
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

# The tools. railfmt ignores its arguments and prints nothing here: a
# directory of valid files, rewritten unchanged.
[ "$(PATH="$prefix/bin" railinspect --version)" = "railinspect $version" ] || fail "railinspect --version"
strings "$prefix/bin/railfmt" | grep -xF "railfmt $version" >/dev/null || fail "railfmt carries no version string"
mkdir "$scratch/run"
cp "$source/samples/station.mod" "$scratch/run/"
out="$(cd "$scratch/run" && PATH="$prefix/bin" railfmt --help --version)" || fail "railfmt --help: exit status $?"
[ -z "$out" ] || fail "railfmt --help printed: $out"
cmp -s "$source/samples/station.mod" "$scratch/run/station.mod" || fail "railfmt changed station.mod"

# The manual pages in English and German render without a warning, show
# the version, and list exactly the options --help lists in that language;
# the sample files their examples name are installed.
for language in en de; do
  dir="$prefix/share/man/man1" locale=C.UTF-8 man_options=()
  if [ "$language" = de ]; then
    dir="$prefix/share/man/de/man1" locale=de_DE.UTF-8 man_options=(-L de)
  fi
  for page in railfmt railinspect; do
    file="$dir/$page.1"
    warnings="$(man "${man_options[@]}" --warnings -l "$file" 2>&1 >/dev/null)" || fail "man $language $page.1"
    [ -z "$warnings" ] || fail "$language $page.1: $warnings"
    MANWIDTH=80 man "${man_options[@]}" -l "$file" 2>/dev/null >"$scratch/page.txt"
    grep -F "railfmt $version" "$scratch/page.txt" >/dev/null || fail "$language $page.1 does not show the version"
    for example in $(grep -oE 'share/doc/railfmt/examples/[A-Za-z0-9_.]+' "$scratch/page.txt" | sed 's|.*/examples/||' | sort -u); do
      [ -e "$prefix/share/doc/railfmt/examples/$example" ] || fail "$language $page.1 names examples/$example"
    done
  done
  # The names on the lines that begin with an option: help's option list,
  # the manual's OPTIONS and RESCUE sections.
  options() {
    grep -E '^ +-' | sed 's/^ *//; s/  .*//' | grep -oE '(^|[ ,])-{1,2}[a-zA-Z][a-z-]*' | tr -d ' ,' | sort -u
  }
  help_options="$(LANGUAGE='' LC_ALL=$locale "$prefix/bin/railinspect" --help | options)"
  page_options="$(sed -nE '/^OPTION/,/^[A-Z]/p; /^(RESCUE|RETTUNG)/,/^[A-Z]/p' "$scratch/page.txt" | options)"
  [ "$help_options" = "$page_options" ] ||
    fail "$language railinspect.1 and --help list other options: $(diff <(echo "$help_options") <(echo "$page_options"))"
done
cmp -s <(ls "$source/samples") <(ls "$prefix/share/doc/railfmt/examples") || fail "the samples are not installed"

# shellcheck source=/dev/null
source "$prefix/share/bash-completion/completions/railinspect"
COMP_WORDS=(railinspect --j) COMP_CWORD=1
_railinspect
[ "${COMPREPLY[*]}" = "--json --jsonl" ] || fail "completion of --j: ${COMPREPLY[*]}"

# The consumer example, built with CMake and with pkg-config.
cmake -S "$source/examples/consumer" -B "$scratch/cmake" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_CXX_COMPILER="$cxx" >"$scratch/cmake.log" 2>&1 || { cat "$scratch/cmake.log"; fail "configure consumer"; }
cmake --build "$scratch/cmake" >>"$scratch/cmake.log" 2>&1 || { cat "$scratch/cmake.log"; fail "build consumer"; }
pc_dir="$(dirname "$(find "$prefix" -name railfmt.pc)")"
export PKG_CONFIG_PATH="$pc_dir"
[ "$(pkg-config --modversion railfmt)" = "$version" ] || fail "pkg-config --modversion"
# Only the include folder goes on the path: the library's folders (driver/,
# layout/, ...) never stand beside a program's own.
cflags="$(pkg-config --cflags railfmt)"
[ "$cflags" = "-I$pc_dir/../../include " ] || fail "pkg-config --cflags: $cflags"
case "$(pkg-config --variable=libdir railfmt)" in *//*) fail "libdir $(pkg-config --variable=libdir railfmt)" ;; esac
# shellcheck disable=SC2046
"$cxx" -std=c++20 -o "$scratch/part_count_pc" "$source/examples/consumer/part_count.cpp" \
  $(pkg-config --cflags --libs railfmt) || fail "build consumer with pkg-config"
# The example's own output: one line a model, no line of the reader's.
samples="$source/samples"
expected="$samples/station.mod: 3 parts
$samples/one_point.mod: 1 part
$samples/empty.mod: 0 parts"
for program in "$scratch/cmake/part_count" "$scratch/part_count_pc"; do
  out="$("$program" "$samples/station.mod" "$samples/one_point.mod" "$samples/empty.mod")" ||
    fail "$program: exit status $?"
  [ "$out" = "$expected" ] || fail "$program printed: $out"
  status=0
  out="$("$program" "$samples/drawing_full.kon" 2>"$scratch/err")" || status=$?
  [ "$status" -eq 1 ] && [ -z "$out" ] || fail "$program on a drawing: status $status, printed: $out"
  grep -q "drawing_full.kon: not a model file (" "$scratch/err" || fail "$program on a drawing: $(cat "$scratch/err")"
  status=0
  "$program" >/dev/null 2>"$scratch/err" || status=$?
  [ "$status" -eq 2 ] && grep -q '^usage: part_count ' "$scratch/err" || fail "$program without arguments: $status"
done

# Every installed header compiles on its own, warning-free, against the
# installed tree alone.
mkdir "$scratch/headers"
count=0
while read -r header; do
  echo "#include <$header>" >"$scratch/headers/$count.cpp"
  count=$((count + 1))
done < <(cd "$prefix/include" && find railfmt -name '*.h' | sort)
[ "$count" -gt 0 ] || fail "no header installed"
printf '%s\n' "$scratch"/headers/*.cpp | xargs -P 2 -n 4 "$cxx" -std=c++20 -fsyntax-only \
  -Wall -Wextra -Wpedantic -Wconversion -Wshadow -Werror -I"$prefix/include" ||
  fail "headers"
echo "installed tree: tools, manual pages, completion, consumer and $count headers checked"
