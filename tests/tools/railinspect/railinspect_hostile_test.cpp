// railinspect on names and bytes chosen to do harm: escape sequences in
// entry names, stored names and messages (which a terminal would obey),
// characters XML does not allow (which would break a picture), and a
// standard input that never ends.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "driver/recognition_cascade.h"
#include "layout/layout.h"
#include "rollingstock/rolling_stock_kind.h"
#include "tests/support/scratch_dir.h"
#include "tests/tools/railinspect/inspect_runner.h"
#include "tools/samples/layout_samples.h"

namespace railfmt {
namespace {

using testing::Has;
using testing::RunInspect;

// Texts a terminal would act on or a reader would misread, and texts XML
// does not allow: a window title (OSC, ended by BEL), a clipboard write, a
// screen clear by the C1 control CSI, a forged line, U+FFFE and U+FFFF, a
// lone surrogate and bytes that are not UTF-8.
const std::vector<std::string> kHostileTexts = {"\x1b]0;owned\x07", "\x1b]52;c;cm0gLXJmIH4=\x07",
                                                "\xC2\x9B" "2J",   "\nforged.mod: model, unchanged",
                                                "\xEF\xBF\xBE\xEF\xBF\xBF", "\xED\xA0\x80 \xFF\x01"};

template <typename T>
T Read(const std::vector<std::uint8_t>& bytes) {
  DiagnosticCapture quiet;
  return *RecogniseEntry("x", bytes)->As<T>();
}

// A layout whose tracks and placed models carry the hostile texts as names.
std::vector<std::uint8_t> HostileLayout() {
  CAnlage layout = Read<CAnlage>(testing::Sample("y.bak"));
  for (std::size_t i = 0; i < layout.Tracks.size(); ++i) layout.Tracks[i].Name = kHostileTexts[i % kHostileTexts.size()];
  for (std::size_t i = 0; i < layout.Models.size(); ++i) {
    if (!layout.Models[i].Name.starts_with("..")) layout.Models[i].Name = kHostileTexts[(i + 1) % kHostileTexts.size()];
  }
  return EncodeLayoutAsStored(layout);
}

// Rolling stock whose stored name (its output name) is text.
std::vector<std::uint8_t> StockNamed(const std::string& text) {
  CRollmaterial stock = Read<CRollmaterial>(testing::Sample("stock_all_parts.rol"));
  stock.Info.Name = text;
  return EncodeToBytes<RollingStockKind>(stock);
}

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
  dir.Write("d\xC2\x9B" "2J.mod", damaged);
  dir.Write("layout\x1b[31m.anl", HostileLayout());
  dir.Write("stock.rol", StockNamed("Zug\x1b]0;owned\x07"));
  dir.Write("stock2.rol", StockNamed("Wagen\n"));
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
      {"--svg '\x1b]0;x\x07' \"$(printf 'n\\nforged.bak')\" .", "de_DE.UTF-8", {"railinspect: --svg zeichnet eine Datei"}},
      {"--bogus\x1b[2J", "C.UTF-8", {"railinspect: unknown option --bogus\\033[2J"}},
  };
  for (const Run& run : runs) {
    const testing::InspectRun result = RunInspect(run.args, run.locale);
    EXPECT_FALSE(HasControl(result.out)) << run.args << ":\n" << result.out;
    EXPECT_FALSE(HasControl(result.err)) << run.args << ":\n" << result.err;
    for (const std::string& part : run.shown) {
      EXPECT_TRUE(Has(result.out + result.err, part)) << run.args << " lacks " << part << ":\n" << result.out << result.err;
    }
  }
}

// Pictures of files whose names hold what XML 1.0 does not allow are
// well-formed XML (python3's parser reads them); each text is still there,
// with a replacement character where a character could not stand.
TEST(RailinspectHostile, PicturesAreWellFormedXmlWhateverTheNames) {
  testing::ScratchDir dir;
  dir.Write("layout\xEF\xBF\xBE\x01.anl", HostileLayout());
  dir.Write("stock.rol", StockNamed("\xEF\xBF\xBF\x1b"));
  std::vector<std::string> pictures;
  for (const char* name : {"layout\xEF\xBF\xBE\x01.anl", "stock.rol"}) {
    pictures.push_back("picture" + std::to_string(pictures.size()) + ".svg");
    const testing::InspectRun run = RunInspect("--svg " + pictures.back() + " '" + std::string(name) + "'");
    ASSERT_EQ(run.status, 0) << name << ": " << run.err;
  }
  std::string command = "python3 -c 'import sys, xml.dom.minidom as m\nfor p in sys.argv[1:]: m.parse(p)'";
  for (const std::string& picture : pictures) command += " " + picture;
  int status = -1;
  const std::string parsed = testing::RunCommand(command + " 2>&1", &status);
  EXPECT_EQ(status, 0) << parsed;
  const std::vector<std::uint8_t> svg = dir.Read(pictures[0]);
  EXPECT_TRUE(Has(std::string(svg.begin(), svg.end()), "\xEF\xBF\xBD]0;owned\xEF\xBF\xBD"));
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
