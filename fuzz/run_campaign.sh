#!/usr/bin/env bash
# A long fuzzing campaign: every fuzz target in turn (one process at a time)
# for SECONDS each (default 600), from a corpus kept in build/fuzz/corpus
# that starts from the seeds and grows from run to run. Findings land in
# build/fuzz/findings/TARGET/; the log of each target in build/fuzz/logs/.
# Each target runs in a single libFuzzer process (no -jobs/-workers: that is
# one worker with one job, without libFuzzer's log redirection), since the
# machine's cores are shared.
# Usage: fuzz/run_campaign.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
source fuzz/common.sh
seconds="${1:-600}"
shift || true
fuzz_prepare
if [ $# -gt 0 ]; then
  targets=()
  for t in "$@"; do targets+=("$fuzz_build/fuzz/$t"); done
else
  mapfile -t targets < <(fuzz_targets)
fi
status=0
for target in "${targets[@]}"; do
  name="$(basename "$target")"
  corpus="$fuzz_build/corpus/$name"
  findings="$fuzz_build/findings/$name"
  log="$fuzz_build/logs/$name.log"
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  cp -n "$fuzz_build"/seeds/* "$corpus/" 2>/dev/null || true
  echo "fuzz campaign: $name for ${seconds}s (log $log)"
  if ! "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -dict="$fuzz_dict" -artifact_prefix="$findings/" -print_final_stats=1 "$corpus" >"$log" 2>&1; then
    echo "fuzz campaign: $name FOUND something: see $findings and $log" >&2
    status=1
  fi
  read -r execs cov ft <<<"$(fuzz_summary "$log")"
  echo "fuzz campaign: $name: $execs executions, coverage $cov, features $ft, corpus $(ls "$corpus" | wc -l) inputs"
done
exit $status
