// The report of one file for a terminal, verdict first:
//
//   samples/station.mod: in order (model (.mod))
//     railfmt leaves it as it is
//   samples/y.bak: will be tidied: 2 bridges placed (layout (.anl))
//     railfmt writes ‘y.anl’ beside it (new, 2,380 bytes)
//   broken.mod: damaged: a model (.mod) whose header is damaged at byte 2: reserved word: found 1, must be 0
//     most likely model (.mod): its name says model (.mod); its reader stopped at byte 4 of 229
//       I: 1 S: 0
//       Formatfehler 1 in (null)!
//       00000000  0a 00[01 00]00 00 00 00 00 00 f0 3f 00 00 00 00  ..............?..
//     also tried (--all shows them in full):
//       rolling stock (.rol), stopped at byte 4: reserved word: found 1, must be 0
//     railfmt will not change it. Restore it from a backup or ...
//
// The lines the readers printed stand as they printed them (the format's
// own words). A rejected file shows its most likely kind in full with the
// bytes around its stop (the field to blame in brackets) and the other
// kinds one line each, or all of them in full; then what to do.
#pragma once

#include <string>

#include "inspect/report.h"
#include "inspect/words.h"

namespace railfmt::inspect {

struct TextStyle {
  bool colour = false;   // ANSI colours for verdicts, failures and reader lines
  bool all = false;      // every attempt of a rejected file in full
  bool changes = false;  // every change normalising makes, one line each
};

std::string TextReport(const Report& report, const TextStyle& style, const Words& words);

// The lines of a hex window, each "  OFFSET  BYTES  ASCII\n" after indent.
std::string HexLines(const HexWindow& window, std::size_t file_size, const std::string& indent, bool colour,
                     const Words& words);

}  // namespace railfmt::inspect
