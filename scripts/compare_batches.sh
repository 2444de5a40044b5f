#!/usr/bin/env bash
# Compares two builds of railfmt over the same data: the bundled samples and
# a make_corpus set; each runs in its own copy, and the directories after
# the runs and what each printed must be identical. For changes that must
# not change a single output byte.
# Usage: scripts/compare_batches.sh OLD_RAILFMT NEW_RAILFMT MAKE_CORPUS [FILES [SEED]]
set -euo pipefail
cd "$(dirname "$0")/.."
old=$(realpath "$1")
new=$(realpath "$2")
make_corpus=$(realpath "$3")
files=${4:-20000}
seed=${5:-11}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$make_corpus" "$work/corpus" "$files" "$seed" >/dev/null
status=0
for set in samples corpus; do
  source_dir=samples
  [ "$set" = corpus ] && source_dir="$work/corpus"
  for build in old new; do
    cp -a "$source_dir" "$work/$set-$build"
    binary=$old
    [ "$build" = new ] && binary=$new
    (cd "$work/$set-$build" && "$binary" >"$work/$set-$build.out")
  done
  if diff -r -q "$work/$set-old" "$work/$set-new" >/dev/null && cmp -s "$work/$set-old.out" "$work/$set-new.out"; then
    echo "$set: identical ($(find "$work/$set-new" -type f | wc -l) files, $(wc -l <"$work/$set-new.out") lines printed)"
  else
    echo "$set: DIFFERENT" >&2
    diff -r -q "$work/$set-old" "$work/$set-new" | head >&2 || true
    cmp "$work/$set-old.out" "$work/$set-new.out" >&2 || true
    status=1
  fi
done
exit "$status"
