// railinspect as a user meets it: the real executable, run on files and
// directories in a scratch directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "driver/batch_driver.h"
#include "tests/support/kind_samples.h"
#include "tests/support/scratch_dir.h"
#include "tests/tools/railinspect/inspect_runner.h"
#include "tools/railinspect/version.h"

namespace railfmt {
namespace {

using testing::RunInspect;
using testing::ScratchDir;

TEST(Railinspect, UsageErrorsExitTwoAndWriteNothing) {
  ScratchDir dir;
  dir.Write("a.bin", {1, 2, 3});
  dir.Write("b.bin", {4});
  const auto before = dir.Snapshot();
  for (const char* args : {"", "--bogus a.bin", "--json", "--svg", "--svg out.svg a.bin b.bin", "--svg out.svg .",
                           "--svg out.svg --svg other.svg a.bin", "--svg a.bin a.bin", "--svg ./b.bin b.bin"}) {
    const testing::InspectRun run = RunInspect(args);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_EQ(run.out, "") << args;
    EXPECT_NE(run.err, "") << args;
    EXPECT_EQ(dir.Snapshot(), before) << args;
  }
}

TEST(Railinspect, HelpAndVersionExitZero) {
  ScratchDir dir;
  const testing::InspectRun help = RunInspect("--help");
  EXPECT_EQ(help.status, 0);
  for (const char* word : {"PATH", "--json", "--svg", "--version"}) EXPECT_NE(help.out.find(word), std::string::npos);
  const testing::InspectRun version = RunInspect("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("railinspect ") + inspect::kRailinspectVersion + "\n");
  EXPECT_TRUE(dir.Snapshot().empty());
}

TEST(Railinspect, ADirectoryStandsForTheEntriesTheBatchToolVisits) {
  ScratchDir dir;
  for (const char* name : {"b.bin", "A.bin", "a.kon", ".hidden", "Tool.EXE", "noext"}) dir.Write(name, {9, 9});
  ASSERT_TRUE(std::filesystem::create_directory("sub"));
  const auto before = dir.Snapshot();
  const std::vector<std::string> visited = testing::EntriesHere();

  const testing::InspectRun run = RunInspect("--json .");
  EXPECT_EQ(run.status, 1);
  const nlohmann::json doc = run.Json();
  ASSERT_TRUE(doc.is_object()) << run.out;
  std::vector<std::string> entries;
  for (const auto& file : doc["files"]) {
    entries.push_back(file["entry_name"].get<std::string>());
    EXPECT_EQ(file["path"].get<std::string>(), "./" + entries.back());
    const bool regular = entries.back() != "sub";
    EXPECT_EQ(file["readable"].get<bool>(), regular) << entries.back();
    EXPECT_FALSE(file["recognised"].get<bool>());
  }
  EXPECT_EQ(entries, visited);
  EXPECT_EQ(doc["summary"]["files"], visited.size());
  EXPECT_EQ(doc["summary"]["recognised"], 0);
  EXPECT_EQ(dir.Snapshot(), before);
}

// Arguments reach the tool as they were given, without a shell between
// (on Windows through one quoted command line and UTF-16), and name files
// as the system holds them (on Windows a Windows-1252 entry name; one
// without that form cannot be opened).
TEST(Railinspect, ArgumentsArriveAsGivenAndNameTheSystemsFiles) {
  ScratchDir dir;
  dir.Write("M\u00FCller.bak", testing::SampleOf(EntryKind::kModel));
  dir.Write("\u03A9.bak", testing::SampleOf(EntryKind::kModel));
  const testing::InspectRun run =
      RunInspect(std::vector<std::string>{"M\u00FCller.bak", "a b", "q\"u\"", "back\\", "\\\"", "\u03A9.bak"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "M\u00FCller.bak: model, written as M\u00FCller.mod\n"
            "a b: not a readable regular file\n"
            "q\"u\": not a readable regular file\n"
            "back\\: not a readable regular file\n"
            "\\\": not a readable regular file\n" +
                std::string(testing::kWindowsNames ? "\u03A9.bak: not a readable regular file\n"
                                                   : "\u03A9.bak: model, written as \u03A9.mod\n") +
                "6 files, " + (testing::kWindowsNames ? "1 recognised, 5" : "2 recognised, 4") + " not recognised\n");
}

TEST(Railinspect, AnEmptyDirectoryHasNothingUnrecognised) {
  ScratchDir dir;
  const testing::InspectRun text = RunInspect(".");
  EXPECT_EQ(text.status, 0);
  EXPECT_EQ(text.out, "0 files, 0 recognised, 0 not recognised\n");
  const testing::InspectRun json = RunInspect("--json .");
  EXPECT_EQ(json.status, 0);
  EXPECT_TRUE(json.Json()["files"].empty());
}

}  // namespace
}  // namespace railfmt
