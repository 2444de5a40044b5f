// The report of one file for a terminal:
//
//   samples/a.mod: model, unchanged
//   samples/y.bak: layout, would write y.anl (new, 2380 bytes): 2 bridges placed
//   broken.mod: not recognised (229 bytes); railfmt leaves it alone
//     most likely model: its reader stopped at byte 4
//       I: 1 S: 0  (found 1, expected 0)
//       Formatfehler 1 in broken.mod!
//         → the reserved word of the model header at byte 2 must be 0, found 1
//       00000000  0a 00[01 00]00 00 00 00 00 00 f0 3f 00 00 00 00  ..............?..
//     also tried (--all shows them in full):
//       construction drawing, stopped at byte 2: identification word 1 of 4 ...
//
// Every line a reader said stands as it said it, its explanation beside a
// mismatch line and under a message. A rejected file shows its most likely
// kind in full with the bytes around its stop (the field to blame, or the
// byte at the stop, in brackets) and the other kinds one line each, or all
// of them in full.
#pragma once

#include <string>

#include "inspect/report.h"

namespace railfmt::inspect {

struct TextStyle {
  bool colour = false;  // ANSI colours for kinds, failures and mismatch lines
  bool all = false;     // every attempt of a rejected file in full
};

std::string TextReport(const Report& report, const TextStyle& style);

// The lines of a hex window, each "  OFFSET  BYTES  ASCII\n" after indent.
std::string HexLines(const HexWindow& window, std::size_t file_size, const std::string& indent, bool colour);

}  // namespace railfmt::inspect
