// railinspect as a user meets it: the real executable in a scratch
// directory, its options, messages and exit statuses, JSON Lines that
// stream in memory bounded by the largest file.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/kind_samples.h"
#include "tests/support/scratch_dir.h"
#include "tests/tools/railinspect/inspect_runner.h"
#include "tools/make_corpus/corpus.h"
#include "tools/railinspect/core/version.h"

namespace railfmt {
namespace {

using testing::Has;
using testing::RunInspect;

TEST(RailinspectCli, UsageErrorsExitTwoSayWhyAndWriteNothing) {
  testing::ScratchDir dir;
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

TEST(RailinspectCli, OptionsStandardInputErrorsAndPictures) {
  testing::ScratchDir dir;
  dir.Write("good.mod", testing::SampleOf(EntryKind::kModel));
  dir.Write("junk.mod", {1, 2, 3});
  std::vector<std::uint8_t> juhu = testing::Sample("drawing_empty.kon"), extra = testing::Sample("one_point.mod");
  juhu[90] = 1;  // the reserved count
  extra.push_back(0x55);
  dir.Write("juhu.kon", juhu);
  dir.Write("extra.bak", extra);
  dir.Write("new.bak", testing::Sample("reordered.bak"));
  dir.Write(".new.bak", testing::Sample("reordered.bak"));
  ASSERT_EQ(::mkfifo("pipe", 0644), 0);  // never read, never waited for
  const auto before = dir.Snapshot();
  const std::string version = std::string("railinspect ") + inspect::kRailinspectVersion + "\n";
  const struct {
    const char* args;
    int status;
    std::vector<std::string> shown;      // parts of the standard output
    std::vector<std::string> not_shown;  // parts it must not hold
    const char* err = "";                // part of standard error
  } cases[] = {
      {"--help",
       0,
       {"PATH", "--jsonl", "--check", "--quiet", "--no-content", "Exit status:", "  0  ", "  1  ", "  2  ",
        "Examples:", "railinspect --svg - "},
       {}},
      {"-V", 0, {version}, {}},
      {"--version", 0, {version}, {}},
      {"- < good.mod", 0, {"-: model\n"}, {"\x1b["}},
      {"- < junk.mod", 1, {"-: not recognised (3 bytes)"}, {}},
      {"-q good.mod junk.mod", 1, {"junk.mod: not recognised"}, {"good.mod", "files,"}},
      {"--color=always junk.mod", 1, {"\x1b[1;31mnot recognised\x1b[0m"}, {}},
      {"junk.mod", 1, {"most likely"}, {"\x1b["}},
      {"--svg - good.mod", 0, {"<?xml", "</svg>\n"}, {"good.mod: model"}},
      {"--svg p.svg junk.mod", 1, {"junk.mod: not recognised"}, {}, "junk.mod: not recognised; no picture drawn\n"},
      {"--svg no/such/p.svg good.mod", 1, {"good.mod: model"}, {}, "railinspect: no/such/p.svg: "},
      {"missing.mod pipe",
       1,
       {"2 files, 0 recognised, 2 not recognised, 0 would be written by railfmt\n"},
       {},
       "railinspect: missing.mod: No such file or directory\nrailinspect: pipe: is a FIFO (not read)\n"},
      {"--jsonl missing.mod", 1, {"No such file or directory"}, {}},
      {"--check missing.mod", 2, {}, {}},
      {"--check good.mod junk.mod",
       0,
       {"2 files, 1 recognised, 1 not recognised, 0 would be written by railfmt\n"},
       {}},
      {"--check good.mod new.bak .new.bak", 1, {"new.bak: model, would write new.mod (new, "}, {"good.mod", ".new"}},
      {".new.bak", 0, {".new.bak: model, railfmt skips this name\n"}, {}},
      {"extra.bak",
       0,
       {"extra.bak: model, would write extra.mod (new, 229 bytes): 1 trailing byte dropped\n"
        "  note: EOF not found: extra.bak!\n"
        "        → 1 byte follows the end of the model at byte 229; railfmt drops it\n"},
       {}},
      {"juhu.kon",
       1,
       {"juhu.kon: not recognised (94 bytes), railfmt leaves it alone\n"
        "  most likely construction drawing: its reader stopped at byte 92 of 94\n"
        "    I: 1 S: 0  (found 1, expected 0)\n"
        "    Formatfehler Juhu in juhu.kon!\n"
        "      → the reserved count between the plain and the dimension lines at byte 90 must be 0, found 1\n"
        "    0000004c  09 00 00 00 01 00 00 00 00 00 00 00 00 00[01 00] ................\n"
        "    0000005c  00 00                                            ..\n",
        "\n  also tried (--all shows them in full):\n    rolling stock, stopped at byte "},
       {}},
      {"--all juhu.kon", 1, {"\n  rolling stock: its reader", "\n  model: its reader", "\n  layout: its reader"}, {}},
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

TEST(RailinspectCli, ADirectoryStandsForTheEntriesRailfmtVisitsAndUnreadableOnesAreErrors) {
  testing::ScratchDir dir;
  for (const char* name : {"b.bin", "A.bin", "a.kon", ".hidden", "Tool.EXE", "noext"}) dir.Write(name, {9, 9});
  ASSERT_EQ(::mkdir("sub", 0755), 0);
  ASSERT_EQ(::mkfifo("pipe", 0644), 0);
  const std::vector<std::string> visited = testing::EntriesHere();
  const testing::InspectRun run = RunInspect("--json --no-content .");
  EXPECT_EQ(run.status, 1);
  const nlohmann::json doc = nlohmann::json::parse(run.out, nullptr, false);
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
}

// The first document is out while the last file is still being written to
// railinspect's standard input.
TEST(RailinspectCli, JsonLinesComeFileByFile) {
  testing::ScratchDir dir;
  dir.Write("first.mod", testing::Sample("station.mod"));
  ASSERT_EQ(::mkfifo("input", 0600), 0);
  // Opened for both ends, a FIFO never blocks; railinspect must not inherit it.
  const int writer = ::open("input", O_RDWR | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  FILE* out = ::popen((std::string("'") + RAILINSPECT_BINARY + "' --jsonl first.mod - < input").c_str(), "r");
  ASSERT_NE(out, nullptr);
  pollfd ready{::fileno(out), POLLIN, 0};
  ASSERT_EQ(::poll(&ready, 1, 60000), 1) << "no line while standard input stays open";
  char line[1 << 16];
  ASSERT_NE(std::fgets(line, sizeof line, out), nullptr);
  EXPECT_EQ(nlohmann::json::parse(line, nullptr, false)["entry_name"], "first.mod");
  const std::vector<std::uint8_t> last = testing::Sample("one_point.mod");
  ASSERT_EQ(::write(writer, last.data(), last.size()), static_cast<ssize_t>(last.size()));
  ::close(writer);
  std::string rest;
  while (std::fgets(line, sizeof line, out) != nullptr) rest += line;
  EXPECT_EQ(::pclose(out), 0);
  EXPECT_EQ(nlohmann::json::parse(rest, nullptr, false)["kind"], "model") << rest.substr(0, 200);
}

// A generated corpus with the content of every file: the memory railinspect
// takes must not grow with the directory (scripts/inspect_memory.sh runs the
// same on 2000 files).
TEST(RailinspectCli, JsonLinesTakeMemoryBoundedByTheLargestFile) {
  testing::ScratchDir dir;
  long largest = 0;
  for (std::size_t i = 0; i < 300; ++i) {
    const CorpusFile f = MakeCorpusFile(5, i);
    dir.Write(f.name, f.bytes);
    largest = std::max(largest, static_cast<long>(f.bytes.size()));
  }
  // python3 gives the child's peak resident memory in KiB and its exit status.
  std::istringstream measured(testing::RunCommand(
      "python3 -c 'import resource, subprocess, sys; s = subprocess.run(sys.argv[1:], stdout=open(\".out\", \"w\"));"
      " print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss, s.returncode)' '" +
      std::string(RAILINSPECT_BINARY) + "' --jsonl ."));
  long peak_kib = -1, status = -1;
  measured >> peak_kib >> status;
  EXPECT_EQ(status, 1);
  EXPECT_LE(peak_kib * 1024, 2 * largest + 50L * 1024 * 1024) << "largest file " << largest;
  const std::vector<std::uint8_t> out = dir.Read(".out");
  EXPECT_EQ(static_cast<std::size_t>(std::count(out.begin(), out.end(), '\n')), testing::EntriesHere().size());
}

}  // namespace
}  // namespace railfmt
