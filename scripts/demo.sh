#!/usr/bin/env bash
# Builds railfmt and railinspect and runs railfmt on a scratch copy of the
# bundled samples, with one model damaged on purpose. Shows what railfmt
# printed, each mismatch line with the file whose reading printed it, and
# what it wrote; ends with railinspect's report on the damaged model, which
# no kind accepts, and on a sample railfmt rewrote. The bundled files never
# change.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
scripts/setup.sh
echo "== configuring build/default..."
cmake --preset default >/dev/null
echo "== building railfmt and railinspect (a first build takes a few minutes)..."
log="$root/build/default/demo-build.log"
# One line for each source compiled and each program linked; the whole
# output goes to the log, and its end to the terminal when the build fails.
if ! cmake --build --preset default --target railfmt railinspect 2>&1 | tee "$log" |
  sed -un -e 's|^\[\( *[0-9]*%\)\] Building CXX object \(.*\)CMakeFiles/[^/]*\.dir/\(.*\)\.o$|  [\1] \2\3|p' \
    -e 's|^\[\( *[0-9]*%\)\] Linking CXX \(.*\)$|  [\1] linking \2|p'; then
  tail -n 40 "$log" >&2
  echo "demo: the build failed; its whole output is in $log" >&2
  exit 1
fi
railfmt="$root/build/default/driver/railfmt"
railinspect="$root/build/default/tools/railinspect/railinspect"

scratch="$(mktemp -d "${TMPDIR:-/tmp}/railfmt-demo-XXXXXX")"
run="$scratch/samples"
mkdir "$run"
cp samples/* "$run"/
cd "$run"
# A model whose reserved header word is 1 instead of 0: no kind accepts it.
cp one_point.mod broken.mod
printf '\001' | dd of=broken.mod bs=1 seek=2 conv=notrunc status=none
# Old time stamps make every file the run writes stand out.
touch -d '2000-01-01 00:00:00' ./*
declare -A before
for f in *; do before["$f"]="$(sha256sum "$f" | cut -d' ' -f1)"; done

# railfmt's lines name no file. railinspect runs the same readers in the same
# order and lists, file by file and attempt by attempt, the lines they print;
# taken before the run, its account must match the run's output line for line.
"$railinspect" --json . >"$scratch/inspect.json" || [ $? -eq 1 ]
"$railfmt" >"$scratch/railfmt.out"
echo "== railfmt in $run: its standard output, each line with the file it came from:"
python3 - "$scratch/inspect.json" "$scratch/railfmt.out" <<'PY'
import json, sys
report = json.load(open(sys.argv[1], encoding="utf-8"))
expected = [(line, f["entry_name"], attempt["kind"].replace("_", " "))
            for f in report["files"] for attempt in f["attempts"] for line in attempt["mismatches"]]
printed = open(sys.argv[2], encoding="latin-1").read().splitlines()
if [line for line, _, _ in expected] == printed:
    for line, name, kind in expected:
        print(f"  {line:<26} {name}, read as {kind}")
else:
    print("  (railinspect's account of the files does not match the run; the lines as printed:)")
    print("\n".join("  " + line for line in printed))
print(f"  ({len(printed)} lines)")
PY
echo "== files it wrote:"
for f in *; do
  [ "$(stat -c %Y "$f")" -gt 946684800 ] || continue
  if [ -z "${before[$f]:-}" ]; then state="new"
  elif [ "${before[$f]}" = "$(sha256sum "$f" | cut -d' ' -f1)" ]; then state="rewritten in place, unchanged"
  else state="rewritten in place, normalised"; fi
  printf '  %-32s %8s bytes  %s\n' "$f" "$(stat -c %s "$f")" "$state"
done
echo "== railinspect broken.mod reordered.bak (why one is rejected, how the other is written):"
"$railinspect" broken.mod reordered.bak || [ $? -eq 1 ]
echo "== the scratch copy stays in $run"
