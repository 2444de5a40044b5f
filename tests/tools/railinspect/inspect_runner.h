// Test support: runs the real railinspect executable in the working
// directory and keeps what it printed and its exit status; the files it is
// run on.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include <nlohmann/json.hpp>

#include "driver/diagnostics.h"
#include "layout/layout_kind.h"
#include "tests/support/damage_table.h"
#include "tests/support/kind_samples.h"
#include "tests/support/run_program.h"
#include "tests/support/scratch_dir.h"
#include "tools/samples/layout_samples.h"

namespace railfmt::testing {

struct InspectRun {
  int status = -1;
  std::string out;
  std::string err;
  // The standard output as JSON Lines, one document per line.
  std::vector<nlohmann::json> Lines() const {
    std::vector<nlohmann::json> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line, nullptr, false));
    return lines;
  }
};

// args are given to /bin/sh as they stand (quote names yourself); locale is
// the LANG of the run (LANGUAGE, LC_ALL and LC_MESSAGES unset), which chooses
// the language railinspect speaks: English under "C.UTF-8" whatever the
// machine's locale, German under "de_DE.UTF-8".
inline InspectRun RunInspect(const std::string& args, const std::string& locale = "C.UTF-8") {
  const std::string environment = "env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=" + locale + " ";
  const ProgramRun run =
      RunProgram({"/bin/sh", "-c", environment + "'" + std::string(RAILINSPECT_BINARY) + "' " + args});
  return {run.status, run.out, run.err};
}

// Writes the file a table row names in its first four fields: NAME, SAMPLE
// ("-": no bytes), OFFSET and BYTES, the bytes in hex written at the offset
// (past the end with zeros between), "cut" (the file ends at the offset) or
// "-" (the sample as it is).
inline void WriteRowFile(const std::vector<std::string>& row, const ScratchDir& dir) {
  std::vector<std::uint8_t> bytes = row.at(1) == "-" ? std::vector<std::uint8_t>() : Sample(row[1]);
  const std::size_t at = std::stoul(row.at(2));
  bytes.resize(std::max(bytes.size(), at));
  dir.Write(row[0], row.at(3) == "-" ? bytes : Damaged(bytes, at, row[3]));
}

// What Kind's reader makes of bytes it accepts, its messages kept quiet.
template <typename Kind>
typename Kind::Object ReadQuietly(const std::vector<std::uint8_t>& bytes) {
  DiagnosticCapture quiet;
  typename Kind::Object object;
  EXPECT_TRUE(Kind::Read(bytes, "x", object).accepted);
  return object;
}

// Texts a terminal would act on or a reader would misread, and texts XML
// does not allow: a window title (OSC, ended by BEL), a clipboard write, a
// screen clear by the C1 control CSI, a forged line, U+FFFE and U+FFFF, a
// lone surrogate and bytes that are not UTF-8.
inline const std::vector<std::string> kHostileTexts = {
    "\x1b]0;owned\x07",         "\x1b]52;c;cm0gLXJmIH4=\x07", "\u009B2J", "\nforged.mod: model, unchanged",
    "\xEF\xBF\xBE\xEF\xBF\xBF", "\xED\xA0\x80 \xFF\x01"};

// The layout y.bak with the hostile texts as the names of its tracks and
// placed models (bridges and buffer stops keep theirs).
inline std::vector<std::uint8_t> HostileLayout() {
  CAnlage layout = ReadQuietly<LayoutKind>(Sample("y.bak"));
  for (std::size_t i = 0; i < layout.Tracks.size(); ++i)
    layout.Tracks[i].Name = kHostileTexts[i % kHostileTexts.size()];
  for (std::size_t i = 0; i < layout.Models.size(); ++i) {
    if (!layout.Models[i].Name.starts_with("..")) layout.Models[i].Name = kHostileTexts[(i + 1) % kHostileTexts.size()];
  }
  return EncodeLayoutAsStored(layout);
}

inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace railfmt::testing
