#!/usr/bin/env bash
# Brings po/de.po up to date with the code: new sentences are added
# untranslated (for a translator to fill in), sentences the code no longer
# says are kept as obsolete ("#~"). Needs gettext.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/catalogue_sentences.sh build/railfmt.pot
msgmerge --quiet --update --backup=none --no-fuzzy-matching --sort-by-file po/de.po build/railfmt.pot
msgattrib --no-obsolete --sort-by-file -o po/de.po po/de.po
