#!/usr/bin/env bash
# Lists every message text the library can format (every string literal in
# the library's sources that ends in a newline: the sink's messages and the
# mismatch lines) and whether some test asserts it (a test file or test data
# file must hold the longest fixed part of the text, between its
# conversions). Exits 1 when one is not asserted. (People learn why a
# reader stopped from the field it records, not from these texts.)
# Usage: scripts/message_audit.sh
set -euo pipefail
cd "$(dirname "$0")/.."
python3 - <<'PY'
import re, pathlib, sys
lib = [p for d in ("driver", "archive", "construction", "rollingstock", "layout")
       for p in pathlib.Path(d).rglob("*") if p.suffix in (".cpp", ".h") and p.name != "main.cpp"]
tests = "\n".join(p.read_text(errors="replace") for p in pathlib.Path("tests").rglob("*.cpp"))
# Test data spells each message on a line of its own, without its newline.
data = "\n".join(p.read_text(errors="replace") for p in pathlib.Path("tests").rglob("*")
                  if p.suffix in (".tsv", ".txt"))
literal = re.compile(r'"((?:[^"\\\n]|\\.)*\\n)"')
formats = set()
for p in lib:
    text = re.sub(r'//[^\n]*', '', p.read_text(errors="replace"))
    formats.update(literal.findall(text))
formats -= {"\\n", "\\r\\n"}  # the line ends themselves, not messages
untested = 0
for f in sorted(formats):
    parts = [s for s in re.split(r'%[-+ #0-9.*]*(?:l|ll|h|z)?[sdiuxXfeg]|%\.\*s', f) if s]
    key = max(parts, key=len) if parts else f
    tested = key in tests or key.removesuffix("\\n") in data
    untested += not tested
    print(f"{'asserted' if tested else 'UNTESTED'} {f}")
print(f"{len(formats)} message formats, {untested} without a test")
sys.exit(1 if untested else 0)
PY
