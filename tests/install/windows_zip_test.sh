#!/usr/bin/env bash
# The Windows zip as its users meet it: made by CPack from the built tree, it
# holds one folder railfmt-VERSION-win64 with railfmt.exe, railinspect.exe
# (which need no DLL beside them), README.md and LICENSE. Unpacked into a
# fresh folder, its programs run there under the emulator: railfmt.exe over
# a copy of the bundled samples writes what the build tree's railfmt.exe
# writes over another copy. With PAGE (the railview.html the build was given)
# the zip holds the page too, as it was built.
# Usage: windows_zip_test.sh BUILD_DIR SOURCE_DIR VERSION EMULATOR [PAGE]
set -euo pipefail
build=$1 source=$2 version=$3 emulator=$4 page=${5:-}
scratch="$(mktemp -d "${TMPDIR:-/tmp}/railfmt-zip-XXXXXX")"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$scratch/packages" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; fail "cpack"; }
zip="$scratch/packages/railfmt-$version-win64.zip"
[ -f "$zip" ] || { ls "$scratch/packages"; fail "no railfmt-$version-win64.zip"; }
mkdir "$scratch/fresh"
(cd "$scratch/fresh" && cmake -E tar xf "$zip")
folder="$scratch/fresh/railfmt-$version-win64"
listing="$(cd "$scratch/fresh" && find . | sort | tr '\n' ' ')"
expected=". ./railfmt-$version-win64 ./railfmt-$version-win64/LICENSE ./railfmt-$version-win64/README.md "
expected+="./railfmt-$version-win64/railfmt.exe ./railfmt-$version-win64/railinspect.exe "
[ -z "$page" ] || expected+="./railfmt-$version-win64/railview.html "
[ "$listing" = "$expected" ] || fail "the zip holds: $listing"
[ -z "$page" ] || cmp -s "$page" "$folder/railview.html" || fail "the zip's railview.html is not the page built"
for exe in railfmt.exe railinspect.exe; do
  dlls="$(x86_64-w64-mingw32-objdump -p "$folder/$exe" | sed -n 's/^\tDLL Name: //p' | sort | tr '\n' ' ')"
  [ "$dlls" = "KERNEL32.dll msvcrt.dll " ] || fail "$exe needs $dlls"
done

[ "$("$emulator" "$folder/railinspect.exe" --version)" = "$(printf 'railinspect %s\r' "$version")" ] ||
  fail "railinspect.exe --version"
for run in zip build inspect; do cp -r "$source/samples" "$scratch/$run"; done
# railinspect.exe's predictions, made before the run, hold for what
# railfmt.exe then writes: every output it names has the size it foretold.
(cd "$scratch/inspect" && "$emulator" "$folder/railinspect.exe" --jsonl --no-content . >"$scratch/predicted.jsonl") ||
  [ $? -eq 1 ] || fail "railinspect.exe --jsonl"
(cd "$scratch/zip" && "$emulator" "$folder/railfmt.exe" >"$scratch/zip.out") || fail "railfmt.exe from the zip"
(cd "$scratch/build" && "$emulator" "$build/driver/railfmt.exe" >"$scratch/build.out") || fail "railfmt.exe"
[ -s "$scratch/zip.out" ] || fail "railfmt.exe from the zip printed no mismatch line"
cmp "$scratch/zip.out" "$scratch/build.out" || fail "the two runs printed different lines"
diff -r "$scratch/zip" "$scratch/build" || fail "the two runs wrote different files"
[ "$(ls "$scratch/zip" | wc -l)" -gt "$(ls "$source/samples" | wc -l)" ] || fail "railfmt.exe from the zip wrote nothing"
python3 - "$scratch/predicted.jsonl" "$scratch/zip" <<'PY' || fail "railinspect.exe foretold another run"
import json, os, sys
lines = [json.loads(l) for l in open(sys.argv[1], encoding="utf-8") if l.strip()]
assert len(lines) == len(os.listdir(os.path.join(sys.argv[2], "..", "inspect"))), len(lines)
writes = [l["railfmt"] for l in lines if l.get("railfmt", {}).get("action") in ("change", "create", "replace")]
assert writes, "no write foretold"
for w in writes:
    size = os.path.getsize(os.path.join(sys.argv[2], w["output_name"]))
    assert size == w["output_size"], (w["output_name"], size, w["output_size"])
PY
echo "zip: $(basename "$zip") $(stat -c %s "$zip") bytes, ran from a fresh folder"
