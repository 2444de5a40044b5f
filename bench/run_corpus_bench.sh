#!/usr/bin/env bash
# The whole-directory benchmark: railfmt over a corpus against cp -r of the
# same corpus, the floor of reading and writing the same bytes.
#
# Builds the bench preset (Release), makes a corpus of N files (default
# 20000) with make_corpus, then runs alternately, RUNS times each (default
# 5): railfmt in a fresh copy of the corpus, and cp -r of the corpus. Every
# timed command starts after a sync and a pause, so that neither pays for
# the other's write-back. Prints the median of each, their ratio, and railfmt's peak
# memory against the largest file and the whole corpus.
#
# Usage: bench/run_corpus_bench.sh            (N=20000 RUNS=5 SEED=1)
#        N=2000 RUNS=7 bench/run_corpus_bench.sh
# The scratch directory (under $TMPDIR, or BENCH_DIR when set) is removed
# at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
n="${N:-20000}"
runs="${RUNS:-5}"
seed="${SEED:-1}"
[ "$runs" -ge 1 ] || { echo "RUNS must be at least 1" >&2; exit 2; }

if [ ! -x /usr/bin/time ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "installing time (for peak memory)" >&2
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq time >/dev/null
fi

echo "== building (bench preset, Release)"
cmake --preset bench >/dev/null
cmake --build --preset bench --target railfmt make_corpus >/dev/null
railfmt="$root/build/bench/driver/railfmt"
make_corpus="$root/build/bench/tools/make_corpus"

work="$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/railfmt-corpus-bench-XXXXXX")"
trap 'rm -rf "$work"' EXIT

echo "== corpus: $n files, seed $seed"
"$make_corpus" "$work/corpus" "$n" "$seed" | sed 's/^/   /'
corpus_bytes="$(du -sb "$work/corpus" | cut -f1)"
largest_bytes="$(find "$work/corpus" -type f -printf '%s\n' | sort -n | tail -1)"

now_ns() { date +%s%N; }

# Every timed command starts on a settled file system: what earlier steps
# wrote or removed has reached the disk.
settle() {
  sync
  sleep 1
}

# Times one railfmt run in a fresh copy; prints nanoseconds.
time_railfmt() {
  rm -rf "$work/run"
  cp -r "$work/corpus" "$work/run"
  touch "$work/stamp"
  settle
  local start end
  start="$(now_ns)"
  (cd "$work/run" && "$railfmt" >"$work/railfmt.out")
  end="$(now_ns)"
  echo $((end - start))
}

# Times one cp -r of the corpus; prints nanoseconds.
time_copy() {
  rm -rf "$work/copy"
  settle
  local start end
  start="$(now_ns)"
  cp -r "$work/corpus" "$work/copy"
  end="$(now_ns)"
  echo $((end - start))
}

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2)}'; }
ms() { awk -v ns="$1" 'BEGIN {printf "%.1f", ns / 1e6}'; }

echo "== timing, alternately, $runs runs each"
railfmt_times=()
copy_times=()
for ((i = 1; i <= runs; i++)); do
  r="$(time_railfmt)"
  c="$(time_copy)"
  railfmt_times+=("$r")
  copy_times+=("$c")
  printf '   run %d: railfmt %8s ms   cp -r %8s ms\n' "$i" "$(ms "$r")" "$(ms "$c")"
done
railfmt_median="$(printf '%s\n' "${railfmt_times[@]}" | median)"
copy_median="$(printf '%s\n' "${copy_times[@]}" | median)"
railfmt_best="$(printf '%s\n' "${railfmt_times[@]}" | sort -n | head -1)"
copy_best="$(printf '%s\n' "${copy_times[@]}" | sort -n | head -1)"

# What the last railfmt run did to the copy.
outputs="$(find "$work/run" -maxdepth 1 -type f -newer "$work/stamp" | wc -l)"
mismatch_lines="$(wc -l <"$work/railfmt.out")"

echo "== peak memory of railfmt"
rm -rf "$work/run"
cp -r "$work/corpus" "$work/run"
peak_kb="$(cd "$work/run" && /usr/bin/time -f '%M' "$railfmt" 2>&1 >/dev/null | tail -1)"
# The same measure over a tenth of the corpus holding its largest file:
# when memory follows the largest file and not the directory, both agree.
rm -rf "$work/small"
mkdir "$work/small"
largest_name="$(find "$work/corpus" -type f -size "${largest_bytes}c" -printf '%f\n' | sort | sed -n 1p)"
find "$work/corpus" -type f | sort | sed -n "1,$((n / 10))p" | xargs -r cp -t "$work/small"
cp "$work/corpus/$largest_name" "$work/small/"
small_files="$(find "$work/small" -type f | wc -l)"
small_bytes="$(du -sb "$work/small" | cut -f1)"
small_peak_kb="$(cd "$work/small" && /usr/bin/time -f '%M' "$railfmt" 2>&1 >/dev/null | tail -1)"

echo "== results"
printf '   corpus                 %d files, %d bytes, largest file %d bytes\n' "$n" "$corpus_bytes" "$largest_bytes"
printf '   last railfmt run       %d files written, %d mismatch lines on standard output\n' "$outputs" "$mismatch_lines"
printf '   railfmt (median)       %s ms\n' "$(ms "$railfmt_median")"
printf '   cp -r   (median)       %s ms\n' "$(ms "$copy_median")"
awk -v a="$railfmt_median" -v b="$copy_median" 'BEGIN {printf "   ratio railfmt / cp -r  %.2f (medians)\n", a / b}'
# cp -r can be slowed several times over by the system (page-cache
# reclaim when it allocates new pages); the fastest runs show each side
# undisturbed.
printf '   fastest runs           railfmt %s ms, cp -r %s ms\n' "$(ms "$railfmt_best")" "$(ms "$copy_best")"
awk -v a="$railfmt_best" -v b="$copy_best" 'BEGIN {printf "   ratio railfmt / cp -r  %.2f (fastest runs)\n", a / b}'
printf '   peak memory            %d KiB over %d files (%d bytes)\n' "$peak_kb" "$n" "$corpus_bytes"
printf '                          %d KiB over %d files (%d bytes), same largest file\n' \
  "$small_peak_kb" "$small_files" "$small_bytes"
