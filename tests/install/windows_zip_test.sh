#!/usr/bin/env bash
# The Windows zip as its users meet it: made by CPack from the built tree, it
# holds one folder railfmt-VERSION-win64 with railfmt.exe, railinspect.exe
# (which need no DLL beside them), a README in German (LIESMICH.txt) and
# English (README.txt) as Windows' editors read text (UTF-8 with a byte order
# mark, CR LF), LICENSE, and the sample files in samples/. Unpacked into a
# fresh folder, its programs run there under the emulator: railfmt.exe over
# a copy of the bundled samples writes what the build tree's railfmt.exe
# writes over another copy; railinspect.exe on a console of its own (a file
# dropped on it) shows its report in UTF-8, in English and in German, and
# waits for Enter before its window would close. With PAGE (the
# railview.html the build was given) the zip holds the page too, as it was
# built.
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
listing="$(cd "$folder" && find . -type f | sort | tr '\n' ' ')"
expected="$( (printf '%s\n' ./LICENSE ./LIESMICH.txt ./README.txt ./railfmt.exe ./railinspect.exe ${page:+./railview.html}
  cd "$source" && find samples -type f | sed 's|^|./|') | sort | tr '\n' ' ')"
[ "$listing" = "$expected" ] || fail "the zip holds: $listing"
[ -z "$page" ] || cmp -s "$page" "$folder/railview.html" || fail "the zip's railview.html is not the page built"
for readme in LIESMICH.txt README.txt; do
  [ "$(head -c 3 "$folder/$readme" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "$readme has no byte order mark"
  [ "$(tr -cd '\n' <"$folder/$readme" | wc -c)" = "$(tr -cd '\r' <"$folder/$readme" | wc -c)" ] ||
    fail "$readme has line ends without CR"
  grep -q 'railinspect.exe' "$folder/$readme" || fail "$readme does not name railinspect.exe"
done
cmp -s "$source/samples/station.mod" "$folder/samples/station.mod" || fail "samples/station.mod differs"
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
# railinspect.exe on a console it has to itself, as when a file is dropped
# on it: Wine's console passes what the program shows to the terminal as
# UTF-8, so the arrows of the report and the German umlauts arrive intact
# only when the program gave the console whole characters. It asks for
# Enter in the user's language and ends only then.
export WINEPREFIX="${WINEPREFIX:-$source/build/windows-deps/wine}" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
cp "$source/samples/one_point.mod" "$scratch/long.mod"
printf 'x' >>"$scratch/long.mod"  # a byte after the model: its report explains it after an arrow (→)
for locale in en de; do
  messages=C.UTF-8 prompt="Press Enter to close this window." said="2 files: 0 in order, 1 to be tidied"
  if [ "$locale" = de ]; then
    messages=de_DE.UTF-8 prompt="Drücken Sie die Eingabetaste, um dieses Fenster zu schließen." said="2 Dateien: 0 in Ordnung, 1 aufzuräumen"
  fi
  env -u LC_ALL -u LANGUAGE LANG=C.UTF-8 LC_MESSAGES="$messages" python3 "$source/tests/install/console_run.py" \
    wine "$folder/railinspect.exe" "Z:$scratch/long.mod" "Z:$scratch/long.bak" >"$scratch/console.$locale"
  python3 - "$scratch/console.$locale" "$prompt" <<'PY' || fail "railinspect.exe on a console ($locale): $(cat "$scratch/console.$locale")"
import sys
shown = open(sys.argv[1], 'rb').read().decode('utf-8')  # strict: a garbled byte fails here
assert '\u2192' in shown, 'no arrow'
assert '\u00e2' not in shown, 'UTF-8 read as another code page'
assert sys.argv[2] in shown, 'no prompt'
assert shown.rstrip().endswith('STATUS 1 ENTER True'), 'did not end after Enter'
PY
  grep -qF "$said" "$scratch/console.$locale" || fail "railinspect.exe on a console ($locale) lacks $said"
done
echo "zip: $(basename "$zip") $(stat -c %s "$zip") bytes, ran from a fresh folder and on a console"
