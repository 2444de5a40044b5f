// railinspect as a user meets it: the real executable, run on files and
// directories in a scratch directory.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/batch_driver.h"
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
  ASSERT_EQ(::symlink("a.bin", "link.svg"), 0);
  const auto before = dir.Snapshot();
  for (const char* args :
       {"", "--bogus a.bin", "--json", "--svg", "--svg out.svg a.bin b.bin", "--svg out.svg .",
        "--svg out.svg --svg other.svg a.bin", "--svg a.bin a.bin", "--svg link.svg a.bin", "--svg ./b.bin b.bin"}) {
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
  ASSERT_EQ(::mkdir("sub", 0755), 0);
  ASSERT_EQ(::mkfifo("pipe", 0644), 0);  // never read, never waited for
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
    const bool regular = entries.back() != "sub" && entries.back() != "pipe";
    EXPECT_EQ(file["readable"].get<bool>(), regular) << entries.back();
    EXPECT_FALSE(file["recognised"].get<bool>());
  }
  EXPECT_EQ(entries, visited);
  EXPECT_EQ(doc["summary"]["files"], visited.size());
  EXPECT_EQ(doc["summary"]["recognised"], 0);
  EXPECT_EQ(dir.Snapshot(), before);
}

TEST(Railinspect, FilesThatCannotBeReadAreNotRecognised) {
  ScratchDir dir;
  ASSERT_EQ(::mkfifo("pipe", 0644), 0);
  const testing::InspectRun run = RunInspect("missing.mod pipe");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "missing.mod: not a readable regular file\n"
            "pipe: not a readable regular file\n"
            "2 files, 0 recognised, 2 not recognised\n");
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
