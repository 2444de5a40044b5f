// What railinspect says railfmt would do, against what a following run of
// railfmt does; --check; and JSON Lines that stream, in memory bounded by
// the largest file.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "rollingstock/rolling_stock_kind.h"
#include "tests/support/kind_samples.h"
#include "tests/support/run_program.h"
#include "tools/samples/sample_files.h"
#include "tests/support/scratch_dir.h"
#include "tests/tools/railinspect/inspect_runner.h"
#include "tools/make_corpus/corpus.h"

namespace railfmt {
namespace {

using nlohmann::json;
using testing::RunInspect;
using testing::Sample;
using testing::ScratchDir;

// A rolling-stock sample renamed in its info block.
std::vector<std::uint8_t> RollingStockNamed(const std::string& name) {
  DiagnosticCapture quiet;
  CRollmaterial stock;
  RollingStockKind::Read(Sample("stock_all_parts.rol"), "s.rol", stock);
  stock.Info.Name = name;
  return EncodeToBytes<RollingStockKind>(stock);
}

// The bundled samples, a generated corpus, and the directory effects of a
// run: an earlier output replacing a later entry, an output replacing
// another file, one refused for its name, one refused for what stands there.
void WriteRunDirectory(const ScratchDir& dir) {
  for (const SampleFile& f : MakeSampleFiles()) dir.Write(f.name, f.bytes);
  for (std::size_t i = 0; i < 120; ++i) {
    const CorpusFile f = MakeCorpusFile(11, i);
    dir.Write(f.name, f.bytes);
  }
  std::vector<std::uint8_t> broken = Sample("one_point.mod");
  broken[2] = 1;
  dir.Write("a.bak", testing::ModelWithTrailingByte());
  dir.Write("a.mod", broken);
  dir.Write("trunc.rol", Sample("station.mod"));
  dir.Write("trunc.mod", Sample("one_point.mod"));
  dir.Write("unsafe.rol", RollingStockNamed("../outside"));
  dir.Write("d.bak", Sample("station.mod"));
  ASSERT_EQ(::mkdir("d.mod", 0755), 0);
}

TEST(RailinspectPredict, PredictionsAgreeWithWhatRailfmtThenDoes) {
  ScratchDir dir;
  WriteRunDirectory(dir);
  const auto before = dir.Snapshot();
  const testing::InspectRun run = RunInspect("--jsonl --no-content .");
  ASSERT_EQ(run.status, 1) << run.err;  // the corpus holds files no kind reads
  std::map<std::string, json> by_name;
  std::map<std::string, std::size_t> final_size;  // what the last write leaves under each name
  for (const json& file : run.Lines()) {
    by_name[file["entry_name"]] = file;
    if (!file.contains("railfmt")) continue;
    const json& p = file["railfmt"];
    const std::string action = p["action"];
    if (action == "create") {
      EXPECT_FALSE(before.contains(p["output_name"]) || final_size.contains(p["output_name"]));
    }
    if (action == "change" || action == "create" || action == "replace")
      final_size[p["output_name"]] = p["output_size"];
  }
  int status = -1;
  testing::RunCommand(std::string("'") + RAILFMT_BINARY + "' > /dev/null", &status);
  ASSERT_EQ(status, 0);
  const auto after = dir.Snapshot();
  std::set<std::string> changed, predicted;
  for (const auto& [name, bytes] : after) {
    if (!before.contains(name) || before.at(name) != bytes) changed.insert(name);
  }
  for (const auto& [name, size] : final_size) {
    ASSERT_TRUE(after.contains(name)) << name;
    EXPECT_EQ(after.at(name).size(), size) << name;
    if (!before.contains(name) || before.at(name) != after.at(name)) predicted.insert(name);
  }
  EXPECT_EQ(changed, predicted);
  EXPECT_GT(changed.size(), 10u);

  const struct {
    const char* entry;
    const char* action;
    const char* text;
  } cases[] = {
      {"a.bak", "replace", "would replace a.mod (229 → 46 bytes): 1 trailing byte dropped"},
      {"a.mod", "unchanged", "replaced by the output of a.bak before its turn, then unchanged"},
      {"trunc.rol", "replace", "would replace trunc.mod (229 → "},
      {"unsafe.rol", "refuse", "railfmt writes nothing: the name stored in the file, \"../outside\", reaches into "},
      {"d.bak", "refuse", "railfmt writes nothing: d.mod is not a regular file"},
      {"reordered.bak", "create", "would write reordered.mod (new, "},
      {"station.mod", "unchanged", "unchanged"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(by_name.contains(c.entry)) << c.entry;
    const json& p = by_name[c.entry]["railfmt"];
    EXPECT_EQ(p["action"], c.action) << c.entry;
    EXPECT_TRUE(p["text"].get<std::string>().starts_with(c.text)) << c.entry << ": " << p["text"];
  }
}

TEST(RailinspectPredict, CheckListsWhatRailfmtWouldWriteAndSaysSoInItsStatus) {
  ScratchDir dir;
  dir.Write("station.mod", Sample("station.mod"));
  dir.Write("junk.txt", {1, 2, 3});
  EXPECT_EQ(RunInspect("--check .").out, "2 files, 1 recognised, 1 not recognised, 0 would be written by railfmt\n");
  EXPECT_EQ(RunInspect("--check .").status, 0);
  dir.Write("reordered.bak", Sample("reordered.bak"));
  dir.Write(".hidden.bak", Sample("reordered.bak"));
  const testing::InspectRun run = RunInspect("--check .");
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.out.starts_with("./reordered.bak: model, would write reordered.mod (new, ")) << run.out;
  EXPECT_EQ(run.out.find("station.mod"), std::string::npos);
  const testing::InspectRun skipped = RunInspect("--check .hidden.bak");
  EXPECT_EQ(skipped.status, 0);
  EXPECT_EQ(RunInspect(".hidden.bak").out, ".hidden.bak: model, railfmt skips this name\n");
  EXPECT_EQ(RunInspect("--check none.mod").status, 2);
}

// The first document is out while the last file is still being written to
// railinspect's standard input.
TEST(RailinspectPredict, JsonLinesComeFileByFile) {
  ScratchDir dir;
  dir.Write("first.mod", Sample("station.mod"));
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
  EXPECT_EQ(json::parse(line, nullptr, false)["entry_name"], "first.mod");
  const std::vector<std::uint8_t> last = Sample("one_point.mod");
  ASSERT_EQ(::write(writer, last.data(), last.size()), static_cast<ssize_t>(last.size()));
  ::close(writer);
  std::string rest;
  while (std::fgets(line, sizeof line, out) != nullptr) rest += line;
  EXPECT_EQ(::pclose(out), 0);
  EXPECT_EQ(json::parse(rest, nullptr, false)["kind"], "model") << rest.substr(0, 200);
}

// A generated corpus with the content of every file: the memory railinspect
// takes must not grow with the directory. (scripts/inspect_memory.sh runs
// the same on 2000 files.)
TEST(RailinspectPredict, JsonLinesTakeMemoryBoundedByTheLargestFile) {
  ScratchDir dir;
  std::size_t largest = 0;
  constexpr std::size_t kFiles = 300;
  for (std::size_t i = 0; i < kFiles; ++i) {
    const CorpusFile f = MakeCorpusFile(5, i);
    dir.Write(f.name, f.bytes);
    largest = std::max(largest, f.bytes.size());
  }
  long peak = 0;
  ASSERT_EQ(testing::RunMeasured({RAILINSPECT_BINARY, "--jsonl", "."}, ".out.jsonl", peak), 1);
  const long bound = 2 * static_cast<long>(largest) + 50L * 1024 * 1024;
  EXPECT_LE(peak, bound) << "largest file " << largest;
  std::size_t lines = 0;
  for (const std::uint8_t b : dir.Read(".out.jsonl")) lines += b == '\n';
  EXPECT_EQ(lines, testing::EntriesHere().size());
}

}  // namespace
}  // namespace railfmt
