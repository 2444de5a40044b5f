#!/usr/bin/env bash
# Fails when a sentence the code says to a person has no German translation
# in po/de.po (missing, empty or marked fuzzy), or when po/de.po is not a
# well-formed catalogue.
set -euo pipefail
cd "$(dirname "$0")/.."
pot=$(mktemp --suffix=.pot)
trap 'rm -f "$pot"' EXIT
scripts/catalogue_sentences.sh "$pot"
msgfmt --check --output-file=/dev/null po/de.po
msgcmp po/de.po "$pot"
