#!/usr/bin/env bash
# The memory and time railinspect --jsonl takes over a generated corpus with
# the content of every file: its peak must stay under twice the largest
# file plus 50 MB, however many files the directory holds. Prints the
# figures; exits 1 when the bound does not hold.
# Usage: scripts/inspect_memory.sh [N [SEED [BUILD_DIR]]]   (default 2000 1 build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
n=${1:-2000}
seed=${2:-1}
build=${3:-build/default}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$build/tools/make_corpus" "$scratch/corpus" "$n" "$seed" >/dev/null
python3 - "$build/tools/railinspect/railinspect" "$scratch/corpus" <<'PY'
import os, resource, subprocess, sys, time
tool, corpus = sys.argv[1], sys.argv[2]
largest = max(os.path.getsize(os.path.join(corpus, f)) for f in os.listdir(corpus))
start = time.monotonic()
out = subprocess.run([tool, "--jsonl", corpus], stdout=subprocess.PIPE, check=False)
seconds = time.monotonic() - start
peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss * 1024
bound = 2 * largest + 50 * 1024 * 1024
lines = out.stdout.count(b"\n")
print(f"{lines} documents, {len(out.stdout) / 1e6:.1f} MB of JSON in {seconds:.1f} s")
print(f"peak memory {peak / 1e6:.1f} MB; bound {bound / 1e6:.1f} MB (largest file {largest / 1e6:.2f} MB)")
sys.exit(0 if peak <= bound and out.returncode in (0, 1) else 1)
PY
