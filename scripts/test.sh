#!/usr/bin/env bash
# Builds railfmt and runs every test. Usage: scripts/test.sh [PRESET]
# PRESET is default (g++) or asan (clang++ with AddressSanitizer and
# UndefinedBehaviorSanitizer); warnings are errors in both.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
scripts/setup.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset"
