// What railinspect says about files no kind accepts: for each kind, where
// its reader stopped, the mismatch lines it printed and the message of the
// check that failed, with the file's name where the reader's absent name
// would print "(null)".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layout/layout.h"
#include "tests/support/layout_samples.h"
#include "tests/support/sample_files.h"
#include "tests/support/scratch_dir.h"
#include "tests/tools/railinspect/inspect_runner.h"

namespace railfmt {
namespace {

using nlohmann::json;
using testing::RunInspect;
using testing::ScratchDir;

std::vector<std::uint8_t> Sample(const std::string& name) {
  for (const SampleFile& f : MakeSampleFiles()) {
    if (f.name == name) return f.bytes;
  }
  ADD_FAILURE() << "no sample " << name;
  return {};
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

struct Expected {
  const char* kind;
  std::size_t stop_offset;
  std::vector<std::string> mismatches;
  std::vector<std::string> messages;  // the first ones the attempt reported
};

TEST(RailinspectFailures, EachKindNamesTheCheckItsReaderFailed) {
  std::vector<std::uint8_t> reserved = Sample("one_point.mod");
  ASSERT_GE(reserved.size(), 4u);
  reserved[2] = 1;  // the model header's reserved word
  std::vector<std::uint8_t> cut = Sample("one_point.mod");
  cut.pop_back();  // ends inside the class name "CObFormat"
  std::vector<std::uint8_t> juhu = Sample("drawing_empty.kon");
  ASSERT_EQ(juhu.size(), 94u);
  juhu[90] = 1;  // the reserved count before the dimension lines
  std::vector<std::uint8_t> long_layout = Sample("anlage_bruecken.anl");
  long_layout.push_back(0);

  const struct {
    std::string name;
    std::vector<std::uint8_t> bytes;
    std::vector<Expected> expected;
  } cases[] = {
      {"reserved.mod",
       reserved,
       {{"model", 4, {"I: 1 S: 0"}, {"Formatfehler 1 in reserved.mod!"}},
        {"construction drawing", 2, {"I: 1 S: 2880"}, {"Formatfehler 1 in reserved.mod!"}}}},
      {"cut.mod",
       cut,
       // 228 bytes: the name's length (at 218) is read, its nine bytes are not there.
       {{"model", 220, {}, {"Formatfehler 14 in cut.mod!"}}}},
      {"junk.txt",
       Text("hello world, this is not a file of any kind"),
       {{"rolling stock", 4, {"I: 27756 S: 0"}, {"Formatfehler 1 in junk.txt!"}},
        {"model", 4, {"I: 27756 S: 0"}, {"Formatfehler 1 in junk.txt!"}},
        {"construction drawing", 2, {"I: 25960 S: 2880"}, {"Formatfehler 1 in junk.txt!"}},
        // Track 27756's name announces 111 bytes; 38 are left.
        {"layout", 5, {}, {"Gleis Nr. 27756 fehlerhaft!"}}}},
      {"juhu.kon", juhu, {{"construction drawing", 92, {"I: 1 S: 0"}, {"Formatfehler Juhu in juhu.kon!"}}}},
      {"long.anl", long_layout, {{"layout", long_layout.size(), {}, {"Datei zu lang!"}}}},
      {"type5.anl",
       LayoutWithTrackType5(),
       // Stopped behind the type: count 2, number 2, name 1 + 7, type 4.
       {{"layout", 16, {}, {"Gleis A: Unbekannter Typ 5!", "Gleis Nr. 3 fehlerhaft!"}}}},
  };
  ScratchDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dir.Write(c.name, c.bytes);
    const testing::InspectRun run = RunInspect(std::vector<std::string>{"--json", c.name});
    EXPECT_EQ(run.status, 1);
    const json file = run.Json()["files"][0];
    EXPECT_FALSE(file["recognised"].get<bool>());
    const json& attempts = file["attempts"];
    ASSERT_EQ(attempts.size(), 4u);
    const char* order[] = {"rolling stock", "model", "construction drawing", "layout"};
    for (std::size_t i = 0; i < 4; ++i) {
      EXPECT_EQ(attempts[i]["kind"], order[i]);
      EXPECT_FALSE(attempts[i]["accepted"].get<bool>());
      for (const json& message : attempts[i]["messages"]) {
        EXPECT_EQ(message.get<std::string>().find("(null)"), std::string::npos) << message;
      }
    }
    for (const Expected& e : c.expected) {
      SCOPED_TRACE(e.kind);
      const json* attempt = nullptr;
      for (const json& a : attempts) {
        if (a["kind"] == e.kind) attempt = &a;
      }
      ASSERT_NE(attempt, nullptr);
      EXPECT_EQ((*attempt)["stop_offset"].get<std::size_t>(), e.stop_offset);
      EXPECT_EQ((*attempt)["mismatches"].get<std::vector<std::string>>(), e.mismatches);
      const auto messages = (*attempt)["messages"].get<std::vector<std::string>>();
      ASSERT_GE(messages.size(), e.messages.size());
      EXPECT_EQ(std::vector<std::string>(messages.begin(), messages.begin() + static_cast<long>(e.messages.size())),
                e.messages);
    }
  }
}

TEST(RailinspectFailures, TheTextReportListsEveryAttemptInOrder) {
  ScratchDir dir;
  std::vector<std::uint8_t> bytes = Sample("drawing_empty.kon");
  ASSERT_EQ(bytes.size(), 94u);
  bytes[90] = 1;
  dir.Write("juhu.kon", bytes);
  const testing::InspectRun run = RunInspect("juhu.kon");
  EXPECT_EQ(run.status, 1);
  // The lines of the construction attempt, in the order the reader made them.
  EXPECT_NE(run.out.find("juhu.kon: not recognised (94 bytes)\n  rolling stock: stopped at byte "), std::string::npos)
      << run.out;
  EXPECT_NE(
      run.out.find("\n  construction drawing: stopped at byte 92\n    I: 1 S: 0\n    Formatfehler Juhu in juhu.kon!\n"),
      std::string::npos)
      << run.out;
  const std::size_t rolling = run.out.find("  rolling stock:");
  const std::size_t model = run.out.find("  model:");
  const std::size_t drawing = run.out.find("  construction drawing:");
  const std::size_t layout = run.out.find("  layout:");
  EXPECT_TRUE(rolling < model && model < drawing && drawing < layout) << run.out;
}

TEST(RailinspectFailures, ARecognisedFileShowsWhatItsReaderNoted) {
  ScratchDir dir;
  std::vector<std::uint8_t> bytes = Sample("one_point.mod");
  bytes.push_back(0x55);
  dir.Write("extra.bak", bytes);
  const testing::InspectRun run = RunInspect("extra.bak");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "extra.bak: model, written as extra.mod\n  note: EOF not found: extra.bak!\n");
}

}  // namespace
}  // namespace railfmt
