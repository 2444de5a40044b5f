// railinspect as a user meets it: the real executable in a scratch
// directory, its options, messages and exit statuses, JSON Lines that
// stream file by file (scripts/inspect_memory.sh, a test of its own,
// bounds their memory), and rescues that write beside the file or to
// -o, never over it.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "inspect/inspect.h"
#include "inspect/version.h"
#include "tests/support/data_table.h"
#include "tests/support/kind_samples.h"
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

// The runs of tests/data/inspect/options.tsv, among them usage errors and
// entry names and stored names a terminal would act on. Whatever
// railinspect prints shows each control character escaped, and only a
// picture asked for is ever written.
TEST(RailinspectCli, OptionsMessagesAndStatusesAreTheTablesAndNoControlCharacterIsPrintedRaw) {
  testing::ScratchDir dir;
  const std::vector<std::uint8_t> model = testing::SampleOf(EntryKind::kModel);
  std::vector<std::uint8_t> juhu = testing::Sample("drawing_empty.kon"), extra = testing::Sample("one_point.mod");
  std::vector<std::uint8_t> damaged = model;
  juhu[90] = 1;    // the reserved count
  damaged[2] = 1;  // the reserved word of the header: its message names the entry
  extra.push_back(0x55);
  dir.Write("good.mod", model);
  dir.Write("junk.mod", {1, 2, 3});
  dir.Write("juhu.kon", juhu);
  dir.Write("extra.bak", extra);
  for (const char* name : {"new.bak", ".new.bak", "n\nforged.bak"}) dir.Write(name, testing::Sample("reordered.bak"));
  dir.Write("t\x1b]0;owned\x07.mod", model);
  dir.Write("d\u009B2J.mod", damaged);
  dir.Write("layout\x1b[31m.anl", testing::HostileLayout());
  dir.Write("stock.rol", testing::RollingStockNamed("Zug\x1b]0;owned\x07"));
  dir.Write("stock2.rol", testing::RollingStockNamed("Wagen\n"));
  for (const char* fifo : {"pipe", "p\x1b[2J"}) ASSERT_EQ(::mkfifo(fifo, 0644), 0);  // never read, never waited for
  ASSERT_EQ(::symlink("good.mod", "link.svg"), 0);
  const auto before = dir.Snapshot();
  const std::string version = std::string("railinspect ") + inspect::kRailinspectVersion + "\n";
  for (const std::vector<std::string>& row : testing::DataRows("inspect/options.tsv")) {
    const std::string& args = row.at(1);
    const testing::InspectRun run = RunInspect(args, row.at(0) == "de" ? "de_DE.UTF-8" : "C.UTF-8");
    EXPECT_EQ(run.status, std::stoi(row.at(2))) << args << ": " << run.err;
    EXPECT_TRUE(Has(run.err, row.at(3))) << args << ": " << run.err;
    EXPECT_FALSE(HasControl(run.out)) << args << ":\n" << run.out;
    EXPECT_FALSE(HasControl(run.err)) << args << ":\n" << run.err;
    for (std::size_t i = 4; i < row.size(); ++i) {
      if (row[i] == "-") {
        EXPECT_EQ(run.out, "") << args;
        continue;
      }
      const bool shown = !row[i].starts_with('!');
      const std::string part = row[i] == "VERSION" ? version : row[i].substr(shown ? 0 : 1);
      EXPECT_EQ(Has(run.out, part), shown) << args << (shown ? " lacks " : " has ") << part << run.out;
    }
    EXPECT_EQ(dir.Snapshot(), before) << args;
  }
  EXPECT_EQ(RunInspect("--jsonl --svg p.svg good.mod").Lines().size(), 1u);
  EXPECT_TRUE(dir.Exists("p.svg"));
}

// When memory runs out before the bound of standard input (the table's runs
// on /dev/zero reach the bound), the error says so; never an abort.
TEST(RailinspectCli, StandardInputBeyondTheMemoryIsAnErrorNotAnAbort) {
  if (testing::kAddressSanitizer) GTEST_SKIP() << "the address sanitizer reserves terabytes: no memory bound holds";
  int status = -1;
  // 200 MB of address space: the memory runs out before the bound is reached.
  const std::string err = testing::RunCommand(
      std::string("(ulimit -v 200000; LC_ALL=C.UTF-8 '") + RAILINSPECT_BINARY + "' - < /dev/zero) 2>&1 >/dev/null",
      &status);
  EXPECT_EQ(status, 1) << err;
  EXPECT_TRUE(err.starts_with("railinspect: -: not enough memory to read standard input")) << err;
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

// railinspect --rescue over the runs of tests/data/inspect/rescue_runs.tsv,
// each in a fresh directory holding the files of rescue_files.tsv.
TEST(RailinspectRescue, WritesBesideOrToOutNeverOverTheFileAndSaysWhatCameBack) {
  const std::vector<std::vector<std::string>> files = testing::DataRows("inspect/rescue_files.tsv");
  for (const std::vector<std::string>& row : testing::DataRows("inspect/rescue_runs.tsv")) {
    const std::string& args = row.at(0);
    testing::ScratchDir dir;
    for (const std::vector<std::string>& file : files) testing::WriteRowFile(file, dir);
    ASSERT_EQ(::mkdir("sub", 0755), 0);
    const auto before = dir.Snapshot();
    const testing::InspectRun run = RunInspect(args, row.at(1));
    EXPECT_EQ(run.status, std::stoi(row.at(2))) << args << ": " << run.err;
    EXPECT_TRUE(Has(run.err, row.at(3))) << args << ": " << run.err;
    auto after = dir.Snapshot();
    auto unchanged = before;
    std::istringstream written(row.at(4) == "-" ? "" : row.at(4));
    for (std::string name; written >> name;) {
      ASSERT_TRUE(dir.Exists(name)) << args << ": " << name;
      const inspect::Report report =
          inspect::Inspect(name.substr(name.rfind('/') + 1), dir.Read(name), inspect::Words());
      EXPECT_EQ(report.verdict, inspect::Verdict::kInOrder) << args << ": " << report.verdict_text;
      after.erase(name);
      unchanged.erase(name);
    }
    EXPECT_EQ(after, unchanged) << args << ": only the rescued file is written";
    for (std::size_t i = 5; i < row.size(); ++i)
      EXPECT_TRUE(Has(run.out, row[i])) << args << " lacks " << row[i] << "\n" << run.out;
  }
}

}  // namespace
}  // namespace railfmt
