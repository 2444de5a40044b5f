// The plain-text report of one file, as railinspect prints it:
//
//   samples/a.mod: model, written as a.mod
//   samples/x.bin: not recognised (64 bytes)
//     rolling stock: stopped at byte 2
//       I: 5 S: 0
//       Formatfehler 1 in x.bin!
//     model: ...
//   samples/sub: not a readable regular file
//
// Diagnostics stand in the order the reader produced them, mismatch lines
// before the message of the check that failed. A recognised file lists what
// its own reader reported on the way (a note such as "EOF not found").
#pragma once

#include <string>

#include "tools/railinspect/inspection.h"

namespace railfmt::inspect {

std::string TextReport(const FileReport& report);

}  // namespace railfmt::inspect
