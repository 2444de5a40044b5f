// What railinspect says about files a kind rejects: for each kind, where its
// reader stopped, the lines it printed, each with its plain explanation, the
// kind ranked most likely and the bytes around its stop; every line of the
// readers has an explanation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/model_kind.h"
#include "driver/diagnostics.h"
#include "layout/layout.h"
#include "rollingstock/rolling_stock_kind.h"
#include "tools/samples/layout_samples.h"
#include "tests/support/mutator.h"
#include "tools/samples/sample_files.h"
#include "tests/support/scratch_dir.h"
#include "tests/tools/railinspect/inspect_runner.h"

namespace railfmt {
namespace {

using nlohmann::json;
using testing::RunInspect;
using testing::Sample;
using testing::ScratchDir;

std::vector<std::uint8_t> With(std::vector<std::uint8_t> bytes, std::size_t at, std::uint8_t value) {
  if (at < bytes.size()) bytes[at] = value;
  return bytes;
}

std::vector<std::uint8_t> Text(const std::string& text) { return {text.begin(), text.end()}; }

// A layout whose only track has the type code 5, which no track has.
std::vector<std::uint8_t> LayoutWithTrackType5() {
  CAnlage layout;
  CGleis track;
  track.Number = 3;
  track.Name = "Gleis A";
  track.Type = 5;
  track.EndCount = 2;
  layout.Tracks.push_back(track);
  layout.TrackCount = 1;
  return EncodeLayoutAsStored(layout);
}

// Where the second model of a rolling-stock sample begins: behind the first,
// which the writer writes as a model file's.
std::size_t SecondModelOffset(const std::vector<std::uint8_t>& stock_bytes) {
  DiagnosticCapture quiet;
  CRollmaterial stock;
  RollingStockKind::Read(stock_bytes, "s.rol", stock);
  return EncodeToBytes<ModelKind>(stock.Models[0]).size();
}

struct Expected {
  const char* kind;
  std::size_t stop_offset;
  std::vector<std::string> said;   // the lines, in order, each "TEXT" or "TEXT => EXPLANATION"
  std::vector<std::size_t> field;  // the field to blame, [begin, end)
};

std::vector<std::string> Said(const json& attempt) {
  std::vector<std::string> lines;
  for (const json& s : attempt["said"]) {
    lines.push_back(s["text"].get<std::string>() + " => " + s["explanation"].get<std::string>());
  }
  return lines;
}

TEST(RailinspectExplain, EachKindNamesTheFieldItsReaderStoppedAtInPlainWords) {
  const std::vector<std::uint8_t> stock = Sample("stock_all_parts.rol");
  const std::size_t second = SecondModelOffset(stock);
  std::vector<std::uint8_t> cut = Sample("one_point.mod");
  cut.pop_back();  // ends inside the class name "CObFormat"
  std::vector<std::uint8_t> long_layout = Sample("anlage_bruecken.anl");
  long_layout.push_back(0);
  const std::vector<std::uint8_t> juhu = With(Sample("drawing_empty.kon"), 90, 1);  // the reserved count
  ASSERT_EQ(juhu.size(), 94u);

  const struct {
    std::string name;
    std::vector<std::uint8_t> bytes;
    const char* most_likely;
    std::vector<Expected> expected;
  } cases[] = {
      {"reserved.mod",
       With(Sample("one_point.mod"), 2, 1),
       "layout",
       {{"model",
         4,
         {"I: 1 S: 0 => found 1, expected 0",
          "Formatfehler 1 in reserved.mod! => the reserved word of the model header at byte 2 must be 0, found 1",
          "EOF not found: reserved.mod! => the reader did not reach the end of the data: it stopped at byte 4 of 229"},
         {2, 4}},
        {"construction drawing",
         2,
         {"I: 1 S: 2880 => found 1, expected 2880",
          "Formatfehler 1 in reserved.mod! => identification word 1 of 4 (2880, 0, 2025, 0) at byte 0 must be "
          "2880, found 1"},
         {0, 2}}}},
      {"cut.mod",
       cut,
       "model",
       {{"model",
         220,
         {"Formatfehler 14 in cut.mod! => the data ends at byte 228, inside the class name of the format lists at "
          "byte 220 (9 bytes needed, 8 left)"},
         {220, 228}}}},
      // Its first model still reads: the model kind takes the file.
      {"second.rol",
       With(stock, second + 2, 1),
       nullptr,
       {{"rolling stock",
         second + 4,
         {"I: 1 S: 0 => found 1, expected 0",
          "Formatfehler 1 in second.rol! => model 2 of the rolling stock: the reserved word of the model header at "
          "byte " +
              std::to_string(second + 2) + " must be 0, found 1",
          "EOF not found: second.rol! => the reader did not reach the end of the data: it stopped at byte " +
              std::to_string(second + 4) + " of " + std::to_string(stock.size())},
         {second + 2, second + 4}}}},
      {"junk.txt",
       Text("hello world, this is not a file of any kind"),
       "layout",
       // Track 27756's name announces 111 bytes; 38 are left.
       {{"layout",
         5,
         {"Gleis Nr. 27756 fehlerhaft! => the data ends at byte 43, inside the 111 characters of a name of track "
          "27756 (record 1 of 25960) at byte 5"},
         {5, 43}}}},
      {"juhu.kon",
       juhu,
       "construction drawing",
       {{"construction drawing",
         92,
         {"I: 1 S: 0 => found 1, expected 0",
          "Formatfehler Juhu in juhu.kon! => the reserved count between the plain and the dimension lines at byte "
          "90 must be 0, found 1"},
         {90, 92}}}},
      {"long.anl",
       long_layout,
       "layout",
       {{"layout",
         long_layout.size(),
         {"Datei zu lang! => the layout ends at byte 1353, but 1 more byte follows; nothing may follow the last "
          "vehicle trailer"},
         {1353, 1354}}}},
      {"type5.anl",
       LayoutWithTrackType5(),
       "layout",
       {{"layout",
         16,
         {"Gleis A: Unbekannter Typ 5! => track 3 \"Gleis A\": its type at byte 12 is 5, which no track has (1 to 4, "
          "6 to 9, 11)",
          "Gleis Nr. 3 fehlerhaft! => track 3 (record 1 of 1): its type 5 is no track type"},
         {12, 16}}}},
  };
  ScratchDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dir.Write(c.name, c.bytes);
    const testing::InspectRun run = RunInspect("--jsonl '" + c.name + "'");
    ASSERT_EQ(run.Lines().size(), 1u) << run.out;
    const json file = run.Lines()[0];
    const json& attempts = file["attempts"];
    EXPECT_EQ(file["recognised"].get<bool>(), c.most_likely == nullptr);
    if (c.most_likely != nullptr) {
      EXPECT_EQ(run.status, 1);
      EXPECT_EQ(file["most_likely"], c.most_likely);
      ASSERT_EQ(attempts.size(), 4u);
      std::size_t furthest = 0;
      for (const json& a : attempts) furthest = std::max(furthest, a["stop_offset"].get<std::size_t>());
      EXPECT_EQ(file["hex_window"]["stop"], furthest);
    }
    for (const Expected& e : c.expected) {
      SCOPED_TRACE(e.kind);
      const json* attempt = nullptr;
      for (const json& a : attempts) {
        if (a["kind"] == e.kind) attempt = &a;
      }
      ASSERT_NE(attempt, nullptr);
      EXPECT_EQ((*attempt)["stop_offset"].get<std::size_t>(), e.stop_offset);
      EXPECT_EQ(Said(*attempt), e.said);
      EXPECT_EQ((*attempt)["field"].get<std::vector<std::size_t>>(), e.field);
    }
  }
}

TEST(RailinspectExplain, TheTextReportShowsTheMostLikelyKindInFullAndFoldsTheOthers) {
  ScratchDir dir;
  dir.Write("juhu.kon", With(Sample("drawing_empty.kon"), 90, 1));
  const std::string folded = RunInspect("juhu.kon").out;
  EXPECT_TRUE(
      folded.starts_with("juhu.kon: not recognised (94 bytes), railfmt leaves it alone\n"
                         "  most likely construction drawing: its reader stopped at byte 92 of 94\n"
                         "    I: 1 S: 0  (found 1, expected 0)\n"
                         "    Formatfehler Juhu in juhu.kon!\n"
                         "      → the reserved count between the plain and the dimension lines at byte 90 "
                         "must be 0, found 1\n"
                         "    0000004c  09 00 00 00 01 00 00 00 00 00 00 00 00 00[01 00] ................\n"
                         "    0000005c  00 00                                            ..\n"))
      << folded;
  EXPECT_NE(folded.find("\n  also tried (--all shows them in full):\n    rolling stock, stopped at byte "),
            std::string::npos);
  const std::string all = RunInspect("--all juhu.kon").out;
  for (const char* kind : {"\n  rolling stock: its reader", "\n  model: its reader", "\n  layout: its reader"}) {
    EXPECT_NE(all.find(kind), std::string::npos) << kind;
  }
  std::vector<std::uint8_t> extra = Sample("one_point.mod");
  extra.push_back(0x55);
  dir.Write("extra.bak", extra);
  EXPECT_EQ(RunInspect("extra.bak").out,
            "extra.bak: model, would write extra.mod (new, 229 bytes): 1 trailing byte dropped\n"
            "  note: EOF not found: extra.bak!\n"
            "        → 1 byte follows the end of the model at byte 229; railfmt drops it\n");
}

// Damaged samples of every kind: truncated anywhere, bytes changed. No line
// a reader says may go without its explanation, and every rejection has a
// reason and a field inside the file.
TEST(RailinspectExplain, EveryLineOfDamagedFilesIsExplained) {
  ScratchDir dir;
  testing::Mutator mutator(15);
  const std::vector<SampleFile> samples = MakeSampleFiles();
  int n = 0;
  for (const SampleFile& s : samples) {
    for (std::size_t cut = 0; cut < s.bytes.size(); cut += 1 + s.bytes.size() / 25) {
      dir.Write("cut" + std::to_string(n++),
                std::vector<std::uint8_t>(s.bytes.begin(), s.bytes.begin() + static_cast<std::ptrdiff_t>(cut)));
    }
    for (int k = 0; k < 25; ++k, ++n) {
      dir.Write("mut" + std::to_string(n), mutator.Mutate(s.bytes, samples[mutator.Below(samples.size())].bytes));
    }
  }
  const testing::InspectRun run = RunInspect("--jsonl --no-content .");
  std::size_t lines = 0;
  for (const json& file : run.Lines()) {
    SCOPED_TRACE(file["entry_name"].get<std::string>());
    for (const json& attempt : file["attempts"]) {
      for (const json& said : attempt["said"]) {
        const std::string explanation = said["explanation"];
        EXPECT_FALSE(explanation.empty() || explanation.starts_with("a message railinspect does not know"))
            << said["text"];
        ++lines;
      }
      if (attempt["accepted"].get<bool>()) continue;
      EXPECT_FALSE(attempt["reason"].get<std::string>().empty());
      if (attempt.contains("field")) {
        EXPECT_LE(attempt["field"][1].get<std::size_t>(), file["size"].get<std::size_t>());
      }
    }
  }
  EXPECT_EQ(run.Lines().size(), static_cast<std::size_t>(n));
  EXPECT_GT(lines, 1000u);
}

}  // namespace
}  // namespace railfmt
