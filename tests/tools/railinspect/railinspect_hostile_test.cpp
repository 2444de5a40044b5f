// railinspect on names and bytes chosen to do harm: escape sequences in
// entry names, stored names and messages (which a terminal would obey), and
// a standard input that never ends.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "tests/support/scratch_dir.h"
#include "tests/tools/railinspect/inspect_runner.h"

namespace railfmt {
namespace {

using testing::Has;
using testing::RunInspect;

// Whether a control character other than the line end is in text (C0, DEL
// or a C1 control in UTF-8), once the colour sequences railinspect itself
// writes are taken out.
bool HasControl(const std::string& printed) {
  const std::string text = std::regex_replace(printed, std::regex("\x1b\\[[0-9;]*m"), "");
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte < 0x20 && byte != '\n') || byte == 0x7F) return true;
    if (byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0) return true;
  }
  return false;
}

// Entry names and file content carry the hostile texts; whatever railinspect
// prints in text (reports of every kind of file, predictions naming
// outputs, the summary, errors on standard error, usage errors) shows each
// control character escaped, and each name's escaped form is there to read.
TEST(RailinspectHostile, ControlCharactersOfNamesAndFilesReachNoTerminalRaw) {
  testing::ScratchDir dir;
  const std::vector<std::uint8_t> model = testing::Sample("station.mod");
  std::vector<std::uint8_t> damaged = model;
  damaged[2] = 1;  // the reserved word of the header: its message names the entry
  dir.Write("t\x1b]0;owned\x07.mod", model);
  dir.Write("n\nforged.bak", testing::Sample("reordered.bak"));
  dir.Write(
      "d\xC2\x9B"
      "2J.mod",
      damaged);
  dir.Write("layout\x1b[31m.anl", testing::HostileLayout());
  dir.Write("stock.rol", testing::StockNamed("Zug\x1b]0;owned\x07"));
  dir.Write("stock2.rol", testing::StockNamed("Wagen\n"));
  ASSERT_EQ(::mkfifo("p\x1b[2J", 0644), 0);
  struct Run {
    std::string args;
    std::string locale;
    std::vector<std::string> shown;  // escaped forms the output or standard error holds
  };
  const std::vector<Run> runs = {
      {".", "C.UTF-8", {"t\\033]0;owned\\a.mod", "n\\nforged.bak", "writes ‘n\\nforged.mod’", "d\\2332J.mod"}},
      {"--all .", "de_DE.UTF-8", {"d\\2332J.mod", "railinspect: ./p\\033[2J: ist eine FIFO"}},
      {"--color=always .", "C.UTF-8", {"layout\\033[31m.anl", "railinspect: ./p\\033[2J: is a FIFO"}},
      {"--check .", "C.UTF-8", {"./n\\nforged.bak: will be tidied"}},
      {"-q ./d*", "C.UTF-8", {"./d\\2332J.mod: damaged"}},
      {"'t\x1b]0;owned\x07.mod' missing\x1b[2J", "C.UTF-8", {"railinspect: missing\\033[2J: No such file"}},
      {"--svg '\x1b]0;x\x07' \"$(printf 'n\\nforged.bak')\" .",
       "de_DE.UTF-8",
       {"railinspect: --svg zeichnet eine Datei"}},
      {"--bogus\x1b[2J", "C.UTF-8", {"railinspect: unknown option --bogus\\033[2J"}},
  };
  for (const Run& run : runs) {
    const testing::InspectRun result = RunInspect(run.args, run.locale);
    EXPECT_FALSE(HasControl(result.out)) << run.args << ":\n" << result.out;
    EXPECT_FALSE(HasControl(result.err)) << run.args << ":\n" << result.err;
    for (const std::string& part : run.shown) {
      EXPECT_TRUE(Has(result.out + result.err, part)) << run.args << " lacks " << part << ":\n"
                                                      << result.out << result.err;
    }
  }
}

// Standard input is read up to a bound past any planning file, with a
// clear error beyond it, also when memory runs out first; never an abort.
TEST(RailinspectHostile, StandardInputIsReadUpToABound) {
  struct Row {
    std::string command;  // run by /bin/sh; RAILINSPECT stands for the program
    std::string error;    // what standard error begins with
  };
  std::vector<Row> rows = {
      {"LC_ALL=C.UTF-8 RAILINSPECT - < /dev/zero", "railinspect: -: standard input holds more than 268,435,456 bytes"},
      {"LC_ALL=de_DE.UTF-8 RAILINSPECT --jsonl - < /dev/zero",
       "railinspect: -: die Standardeingabe enthält mehr als 268.435.456 Bytes"},
  };
  if (!testing::kAddressSanitizer) {
    // 200 MB of address space: the memory runs out before the bound is reached.
    rows.push_back({"ulimit -v 200000; LC_ALL=C.UTF-8 RAILINSPECT - < /dev/zero",
                    "railinspect: -: not enough memory to read standard input"});
  }
  for (Row& row : rows) {
    row.command.replace(row.command.find("RAILINSPECT"), 11, std::string("'") + RAILINSPECT_BINARY + "'");
    int status = -1;
    const std::string err = testing::RunCommand("(" + row.command + ") 2>&1 >/dev/null", &status);
    EXPECT_EQ(status, 1) << row.command << ": " << err;
    EXPECT_TRUE(err.starts_with(row.error)) << row.command << ": " << err;
  }
}

}  // namespace
}  // namespace railfmt
