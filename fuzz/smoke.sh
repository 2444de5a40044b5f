#!/usr/bin/env bash
# Runs every fuzz target briefly: first once over its seeds and the kept
# reproducers of earlier findings, then SMOKE_SECONDS (default 20) of
# fuzzing from the seeds. Fails on any finding. Usage: fuzz/smoke.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source fuzz/common.sh
seconds="${SMOKE_SECONDS:-20}"
fuzz_prepare
work="$(mktemp -d "${TMPDIR:-/tmp}/railfmt-smoke-XXXXXX")"
trap 'rm -rf "$work"' EXIT
status=0
for target in $(fuzz_targets); do
  name="$(basename "$target")"
  mkdir -p "$work/$name/corpus" "$work/$name/artifacts"
  cp "$fuzz_build"/seeds/* "$work/$name/corpus/" 2>/dev/null || true
  inputs=("$work/$name/corpus")
  [ -d "$fuzz_regressions/$name" ] && inputs+=("$fuzz_regressions/$name")
  log="$work/$name.log"
  # -runs=0 with directories executes every input once and stops.
  if ! "$target" -runs=0 -artifact_prefix="$work/$name/artifacts/" "${inputs[@]}" >"$log" 2>&1 ||
     ! "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -dict="$fuzz_dict" \
         -artifact_prefix="$work/$name/artifacts/" "$work/$name/corpus" >>"$log" 2>&1; then
    echo "fuzz smoke: $name FAILED; its log:" >&2
    tail -40 "$log" >&2
    ls "$work/$name/artifacts" >&2
    status=1
    continue
  fi
  read -r execs cov ft <<<"$(fuzz_summary "$log")"
  echo "fuzz smoke: $name ok: $execs executions, coverage $cov, features $ft"
done
exit $status
