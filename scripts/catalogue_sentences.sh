#!/usr/bin/env bash
# Writes the template of the catalogue (every sentence the code says to a
# person, as gettext's xgettext finds them) to the file given, by default
# build/railfmt.pot. Used by update_po.sh and catalogue_audit.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-build/railfmt.pot}"
mkdir -p "$(dirname "$out")"
# The words of the inspection library and the fronts, and the names of
# fields, records and changes the readers and kinds give people to read.
cpp_sources=$(ls inspect/*.cpp inspect/*.h tools/railinspect/*.cpp web/*.cpp \
  driver/*.h driver/*.cpp archive/*.cpp archive/*.h construction/*.cpp construction/*.h \
  rollingstock/*.cpp rollingstock/*.h layout/*.cpp layout/*.h)
js_sources=$(ls web/site/*.js)
xgettext --from-code=UTF-8 --language=C++ --keyword= --keyword=Say:1 --keyword=SayN:1,2 --keyword=Word:1 \
  --keyword=ForPeople:1 --keyword=ForPeopleN:1,2 --keyword=Field:1 --keyword=Within:1 --keyword=Reject:3 \
  --add-comments=TRANSLATORS: --sort-by-file --force-po --package-name=railfmt -o "$out.cpp" $cpp_sources
xgettext --from-code=UTF-8 --language=JavaScript --keyword= --keyword=t:1 --keyword=tn:1,2 \
  --add-comments=TRANSLATORS: --sort-by-file --force-po --package-name=railfmt -o "$out.js" $js_sources
# An empty template says charset=CHARSET, which msgcat refuses.
sed -i "s/charset=CHARSET/charset=UTF-8/" "$out.cpp" "$out.js"
msgcat --use-first -o "$out" "$out.cpp" "$out.js"
rm -f "$out.cpp" "$out.js"
