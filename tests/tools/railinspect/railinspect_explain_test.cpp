// What railinspect says about files a kind rejects: for each kind, where its
// reader stopped, the lines it printed, each with its plain explanation, the
// field to blame, the kind ranked most likely and the bytes around its stop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/model_kind.h"
#include "driver/diagnostics.h"
#include "layout/layout.h"
#include "rollingstock/rolling_stock_kind.h"
#include "tests/support/scratch_dir.h"
#include "tests/tools/railinspect/inspect_runner.h"
#include "tools/samples/layout_samples.h"

namespace railfmt {
namespace {

using nlohmann::json;
using testing::RunInspect;
using testing::Sample;

std::vector<std::uint8_t> With(std::vector<std::uint8_t> bytes, std::size_t at, std::uint8_t value) {
  bytes.resize(std::max(bytes.size(), at + 1));
  bytes[at] = value;
  return bytes;
}

// An attempt as "KIND STOP [BEGIN,END) LINE | LINE", each line "TEXT => EXPLANATION".
std::string Summary(const json& a) {
  std::string out = a["kind"].get<std::string>() + " " + a["stop_offset"].dump() + " [" + a["field"][0].dump() + "," +
                    a["field"][1].dump() + ")";
  std::string separator = " ";
  for (const json& s : a["said"]) {
    out += separator + s["text"].get<std::string>() + " => " + s["explanation"].get<std::string>();
    separator = " | ";
  }
  return out;
}

TEST(RailinspectExplain, EachKindNamesTheFieldItsReaderStoppedAtInPlainWords) {
  const std::vector<std::uint8_t> stock = Sample("stock_all_parts.rol");
  CRollmaterial read;
  {
    DiagnosticCapture quiet;
    RollingStockKind::Read(stock, "s.rol", read);
  }
  // The second model begins behind the first, which is written as a model file's.
  const std::string second = std::to_string(EncodeToBytes<ModelKind>(read.Models[0]).size());
  const std::string second_end = std::to_string(std::stoul(second) + 4);
  std::vector<std::uint8_t> cut = Sample("one_point.mod");
  cut.pop_back();  // ends inside the class name "CObFormat"
  const std::string text = "hello world, this is not a file of any kind";
  CAnlage type5;  // a layout whose only track has the type code 5, which no track has
  type5.Tracks.resize(1);
  type5.Tracks[0].Number = 3;
  type5.Tracks[0].Name = "Gleis A";
  type5.Tracks[0].Type = 5;
  type5.Tracks[0].EndCount = 2;
  type5.TrackCount = 1;
  const std::string reserved = "I: 1 S: 0 => found 1, expected 0 | ";
  const struct {
    std::string name;
    std::vector<std::uint8_t> bytes;
    const char* most_likely;  // nullptr: recognised
    std::vector<std::string> attempts;
  } cases[] = {
      {"reserved.mod",
       With(Sample("one_point.mod"), 2, 1),
       "layout",
       {"model 4 [2,4) " + reserved +
            "Formatfehler 1 in reserved.mod! => the reserved word of the model header at byte 2 must be 0, found 1 | "
            "EOF not found: reserved.mod! => the reader did not reach the end of the data: it stopped at byte 4 of 229",
        "construction drawing 2 [0,2) I: 1 S: 2880 => found 1, expected 2880 | Formatfehler 1 in reserved.mod! => "
        "identification word 1 of 4 (2880, 0, 2025, 0) at byte 0 must be 2880, found 1"}},
      {"cut.mod",
       cut,
       "model",
       {"model 220 [220,228) Formatfehler 14 in cut.mod! => the data ends at byte 228, inside the class name of the "
        "format lists at byte 220 (9 bytes needed, 8 left)"}},
      {"second.rol",  // its first model still reads: the model kind takes the file
       With(stock, std::stoul(second) + 2, 1),
       nullptr,
       {"rolling stock " + second_end + " [" + std::to_string(std::stoul(second) + 2) + "," + second_end + ") " +
        reserved +
        "Formatfehler 1 in second.rol! => model 2 of the rolling stock: the reserved word of the model "
        "header at byte " +
        std::to_string(std::stoul(second) + 2) +
        " must be 0, found 1 | EOF not found: "
        "second.rol! => the reader did not reach the end of the data: it stopped at byte " +
        second_end + " of " + std::to_string(stock.size())}},
      {"junk.txt",  // track 27756's name announces 111 bytes; 38 are left
       {text.begin(), text.end()},
       "layout",
       {"layout 5 [5,43) Gleis Nr. 27756 fehlerhaft! => the data ends at byte 43, inside the 111 characters of a "
        "name of track 27756 (record 1 of 25960) at byte 5"}},
      {"juhu.kon",
       With(Sample("drawing_empty.kon"), 90, 1),
       "construction drawing",
       {"construction drawing 92 [90,92) " + reserved +
        "Formatfehler Juhu in juhu.kon! => the reserved count "
        "between the plain and the dimension lines at byte 90 must be 0, found 1"}},
      {"long.anl",
       With(Sample("anlage_bruecken.anl"), 1353, 0),
       "layout",
       {"layout 1354 [1353,1354) Datei zu lang! => the layout ends at byte 1353, but 1 more byte follows; nothing "
        "may follow the last vehicle trailer"}},
      {"type5.anl",
       EncodeLayoutAsStored(type5),
       "layout",
       {"layout 16 [12,16) Gleis A: Unbekannter Typ 5! => track 3 \"Gleis A\": its type at byte 12 is 5, which no "
        "track has (1 to 4, 6 to 9, 11) | Gleis Nr. 3 fehlerhaft! => track 3 (record 1 of 1): its type 5 is no "
        "track type"}},
  };
  testing::ScratchDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dir.Write(c.name, c.bytes);
    const testing::InspectRun run = RunInspect("--jsonl '" + c.name + "'");
    ASSERT_EQ(run.Lines().size(), 1u) << run.out;
    const json file = run.Lines()[0];
    EXPECT_EQ(file["recognised"].get<bool>(), c.most_likely == nullptr);
    EXPECT_EQ(run.status, c.most_likely == nullptr ? 0 : 1);
    std::size_t furthest = 0, found = 0;
    for (const json& a : file["attempts"]) {
      furthest = std::max(furthest, a["stop_offset"].get<std::size_t>());
      for (const std::string& expected : c.attempts) {
        if (!expected.starts_with(a["kind"].get<std::string>() + " ")) continue;
        EXPECT_EQ(Summary(a), expected);
        ++found;
      }
    }
    EXPECT_EQ(found, c.attempts.size());
    if (c.most_likely == nullptr) continue;
    EXPECT_EQ(file["most_likely"], c.most_likely);
    EXPECT_EQ(file["attempts"].size(), 4u);
    EXPECT_EQ(file["hex_window"]["stop"], furthest);
  }
}

}  // namespace
}  // namespace railfmt
