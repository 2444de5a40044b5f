#!/usr/bin/env bash
# Builds the coverage preset (g++ --coverage, -O0), runs every test and
# reports line and branch coverage of the library railfmt_core (the sources
# of driver/, archive/, construction/, rollingstock/ and layout/, without the
# tool's main). A browsable report goes to build/coverage/report/index.html.
# Usage: scripts/coverage.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset coverage >/dev/null
cmake --build --preset coverage >/dev/null
find build/coverage -name '*.gcda' -delete
ctest --preset coverage >build/coverage/ctest.log 2>&1 || { tail -40 build/coverage/ctest.log >&2; exit 1; }
tail -3 build/coverage/ctest.log
mkdir -p build/coverage/report
filters=(--filter '(driver|archive|construction|rollingstock|layout)/' --exclude 'driver/main\.cpp')
gcovr --root . --object-directory build/coverage "${filters[@]}" \
  --exclude-unreachable-branches --exclude-throw-branches \
  --html-details build/coverage/report/index.html --txt build/coverage/report/summary.txt \
  --print-summary >build/coverage/report/gcovr.log
cat build/coverage/report/summary.txt
grep -E '^(lines|branches):' build/coverage/report/gcovr.log
