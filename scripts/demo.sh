#!/usr/bin/env bash
# Builds railfmt and runs it on a scratch copy of the bundled samples, then
# shows what it printed and what it wrote. The bundled files never change.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target railfmt >/dev/null
scratch="$(mktemp -d "${TMPDIR:-/tmp}/railfmt-demo-XXXXXX")"
cp samples/* "$scratch"/
cd "$scratch"
# Old time stamps make every file the run writes stand out.
touch -d '2000-01-01 00:00:00' ./*
declare -A before
for f in *; do before["$f"]="$(sha256sum "$f" | cut -d' ' -f1)"; done
echo "== railfmt in $scratch; its standard output (mismatch lines of failed attempts):"
"$root/build/default/driver/railfmt"
echo "== files it wrote:"
for f in *; do
  [ "$(stat -c %Y "$f")" -gt 946684800 ] || continue
  if [ -z "${before[$f]:-}" ]; then state="new"
  elif [ "${before[$f]}" = "$(sha256sum "$f" | cut -d' ' -f1)" ]; then state="rewritten in place, unchanged"
  else state="rewritten in place, normalised"; fi
  printf '  %-32s %8s bytes  %s\n' "$f" "$(stat -c %s "$f")" "$state"
done
echo "== the scratch copy stays in $scratch"
