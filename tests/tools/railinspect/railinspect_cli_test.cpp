// railinspect as a user meets it: the real executable, run on files and
// directories in a scratch directory, its options, messages and exit
// statuses.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/kind_samples.h"
#include "tests/support/scratch_dir.h"
#include "tests/tools/railinspect/inspect_runner.h"
#include "tools/railinspect/core/version.h"

namespace railfmt {
namespace {

using testing::RunInspect;
using testing::ScratchDir;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(RailinspectCli, UsageErrorsExitTwoSayWhyAndWriteNothing) {
  ScratchDir dir;
  dir.Write("a.bin", {1, 2, 3});
  dir.Write("b.bin", {4});
  ASSERT_EQ(::symlink("a.bin", "link.svg"), 0);
  const auto before = dir.Snapshot();
  for (const char* args :
       {"", "--bogus a.bin", "--json", "--svg", "--svg out.svg a.bin b.bin", "--svg out.svg .",
        "--svg out.svg --svg other.svg a.bin", "--svg a.bin a.bin", "--svg link.svg a.bin", "--svg ./b.bin b.bin",
        "--json --jsonl a.bin", "- -", "--svg - --json a.bin", "--color=sometimes a.bin"}) {
    const testing::InspectRun run = RunInspect(args);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_EQ(run.out, "") << args;
    EXPECT_TRUE(run.err.starts_with("railinspect: ") && Has(run.err, "--help")) << args << ": " << run.err;
    EXPECT_EQ(dir.Snapshot(), before) << args;
  }
}

TEST(RailinspectCli, HelpListsExitStatusesAndExamplesAndVersionHasAShortFlag) {
  ScratchDir dir;
  const testing::InspectRun help = RunInspect("--help");
  EXPECT_EQ(help.status, 0);
  for (const char* word : {"PATH", "--jsonl", "--check", "--quiet", "--no-content", "Exit status:", "  0  ", "  1  ",
                           "  2  ", "Examples:", "railinspect --svg - "}) {
    EXPECT_TRUE(Has(help.out, word)) << word;
  }
  for (const char* flag : {"-V", "--version"}) {
    const testing::InspectRun version = RunInspect(flag);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("railinspect ") + inspect::kRailinspectVersion + "\n");
  }
  EXPECT_TRUE(dir.Snapshot().empty());
}

TEST(RailinspectCli, ADirectoryStandsForTheEntriesRailfmtVisitsAndUnreadableOnesAreErrors) {
  ScratchDir dir;
  for (const char* name : {"b.bin", "A.bin", "a.kon", ".hidden", "Tool.EXE", "noext"}) dir.Write(name, {9, 9});
  ASSERT_EQ(::mkdir("sub", 0755), 0);
  ASSERT_EQ(::mkfifo("pipe", 0644), 0);  // never read, never waited for
  const auto before = dir.Snapshot();
  const std::vector<std::string> visited = testing::EntriesHere();

  const testing::InspectRun run = RunInspect("--json --no-content .");
  EXPECT_EQ(run.status, 1);
  const nlohmann::json doc = run.Json();
  ASSERT_TRUE(doc.is_object()) << run.out;
  std::vector<std::string> entries;
  for (const auto& file : doc["files"]) {
    entries.push_back(file["entry_name"].get<std::string>());
    EXPECT_EQ(file["path"].get<std::string>(), "./" + entries.back());
    const bool regular = entries.back() != "sub" && entries.back() != "pipe";
    EXPECT_EQ(file["readable"].get<bool>(), regular) << entries.back();
    EXPECT_EQ(file.contains("error"), !regular) << entries.back();
    EXPECT_FALSE(file["recognised"].get<bool>());
  }
  EXPECT_EQ(entries, visited);
  EXPECT_EQ(doc["summary"]["files"], visited.size());
  EXPECT_TRUE(Has(run.err, "railinspect: ./sub: Is a directory\n")) << run.err;
  EXPECT_TRUE(Has(run.err, "railinspect: ./pipe: is a FIFO (not read)\n")) << run.err;
  EXPECT_EQ(dir.Snapshot(), before);
}

TEST(RailinspectCli, ErrorsGoToStandardErrorWithTheSystemsReason) {
  ScratchDir dir;
  ASSERT_EQ(::mkfifo("pipe", 0644), 0);
  const testing::InspectRun text = RunInspect("missing.mod pipe");
  EXPECT_EQ(text.status, 1);
  EXPECT_EQ(text.err, "railinspect: missing.mod: No such file or directory\nrailinspect: pipe: is a FIFO (not read)\n");
  EXPECT_EQ(text.out, "2 files, 0 recognised, 2 not recognised, 0 would be written by railfmt\n");
  const testing::InspectRun json = RunInspect("--jsonl missing.mod");
  ASSERT_EQ(json.Lines().size(), 1u);
  EXPECT_EQ(json.Lines()[0]["error"], "No such file or directory");
  EXPECT_EQ(RunInspect("--check missing.mod").status, 2);
}

TEST(RailinspectCli, StandardInputQuietColourAndPictures) {
  ScratchDir dir;
  dir.Write("good.mod", testing::SampleOf(EntryKind::kModel));
  dir.Write("junk.mod", {1, 2, 3});
  const auto before = dir.Snapshot();
  const struct {
    const char* args;
    int status;
    std::vector<std::string> shown;      // parts of the standard output
    std::vector<std::string> not_shown;  // parts it must not hold
    const char* err = "";                // part of standard error
  } cases[] = {
      {"- < good.mod", 0, {"-: model\n"}, {"\x1b["}},
      {"- < junk.mod", 1, {"-: not recognised (3 bytes)"}, {}},
      {"-q good.mod junk.mod", 1, {"junk.mod: not recognised"}, {"good.mod", "files,"}},
      {"--color=always junk.mod", 1, {"\x1b[1;31mnot recognised\x1b[0m"}, {}},
      {"junk.mod", 1, {"most likely"}, {"\x1b["}},
      {"--svg - good.mod", 0, {"<?xml", "</svg>\n"}, {"good.mod: model"}},
      {"--svg p.svg junk.mod", 1, {"junk.mod: not recognised"}, {}, "junk.mod: not recognised; no picture drawn\n"},
      {"--svg no/such/p.svg good.mod", 1, {"good.mod: model"}, {}, "railinspect: no/such/p.svg: "},
  };
  for (const auto& c : cases) {
    const testing::InspectRun run = RunInspect(c.args);
    EXPECT_EQ(run.status, c.status) << c.args << ": " << run.err;
    for (const std::string& part : c.shown) EXPECT_TRUE(Has(run.out, part)) << c.args << " lacks " << part << run.out;
    for (const std::string& part : c.not_shown) EXPECT_FALSE(Has(run.out, part)) << c.args << " has " << part;
    EXPECT_TRUE(Has(run.err, c.err)) << c.args << ": " << run.err;
    EXPECT_EQ(dir.Snapshot(), before) << c.args;  // only a picture asked for is ever written
  }
  EXPECT_EQ(RunInspect("--jsonl --svg p.svg good.mod").Lines().size(), 1u);
  EXPECT_TRUE(dir.Exists("p.svg"));
}

}  // namespace
}  // namespace railfmt
