// The Windows side through the Windows API (under Wine in CI): names
// Windows treats specially, Windows-1252 names, letter case, read-only
// outputs and outputs another program holds open. Names here are UTF-8.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "driver/batch_driver.h"
#include "driver/diagnostics.h"
#include "driver/directory.h"
#include "tests/support/kind_samples.h"
#include "tests/support/rewrite_property.h"
#include "tests/support/scratch_dir.h"

namespace railfmt {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::RollingStockNamed;
using testing::ScratchDir;

Bytes Rewritten(const Bytes& model) {
  DiagnosticCapture quiet;
  return testing::Rewrite(EntryKind::kModel, model).value();
}

int Count(const std::vector<std::string>& messages, const std::string& message) {
  return static_cast<int>(std::count(messages.begin(), messages.end(), message));
}

TEST(DirectoryWindows, NamesWindowsTreatsSpeciallyAreNeverMadeAsOutputs) {
  ScratchDir dir;
  const std::vector<std::string> stored = {"NUL", "con", "Aux", "PRN",  "COM1", "lpt9", "CON ",
                                           "a:b", "a*b", "a?b", "a\"b", "a<b",  "a>b",  "a|b"};
  for (std::size_t i = 0; i < stored.size(); ++i)
    dir.Write("in" + std::to_string(i) + ".bin", RollingStockNamed(stored[i]));
  const auto before = dir.Snapshot();
  DiagnosticCapture captured;
  testing::RunBatchHere();
  for (const std::string& name : stored)
    EXPECT_EQ(Count(captured.messages(), "Can't open " + name + ".rol!\n"), 1) << name;
  // Names Windows would strip the end of, given straight to a store.
  const auto directory = OpenDirectory(".");
  for (const char* name : {"picture.", "picture ", "picture. .", "nul.svg"}) {
    EXPECT_EQ(directory->Store(name, Bytes{1, 2, 3}, nullptr), StoreOutcome::kRefused) << name;
  }
  EXPECT_EQ(dir.Snapshot(), before);
}

// An input in another letter case than its output's is rewritten in place,
// keeping its spelling.
TEST(DirectoryWindows, NamesAreWindows1252InAnyLetterCaseAndOthersCannotBeOpened) {
  ScratchDir dir;
  const Bytes model = testing::ModelWithTrailingByte();
  dir.Write("M\u00FCller.bak", model);
  dir.Write("\u03A9.bak", model);
  dir.Write("stock.bin", RollingStockNamed("Stra\xDF"
                                           "enbahn \x80"));  // Windows-1252: ß, €
  dir.Write("A.MOD", model);
  DiagnosticCapture captured;
  testing::RunBatchHere();
  EXPECT_EQ(dir.Read("M\u00FCller.mod"), Rewritten(model));
  EXPECT_TRUE(dir.Exists("Stra\u00DFenbahn \u20AC.rol"));
  EXPECT_EQ(Count(captured.messages(), "Can't open ?.bak!\n"), 4) << "each kind reports the entry";
  const auto after = dir.Snapshot();
  EXPECT_EQ(after.size(), 6u);
  EXPECT_EQ(after.at("A.MOD"), Rewritten(model));
}

// A program that saves in place and sets the modification time back (as
// copies that keep times do) still changes the file's change time: what
// was made of the old content does not replace the save.
TEST(DirectoryWindows, ASaveThatSetsItsTimeBackIsNotReplaced) {
  ScratchDir dir;
  dir.Write("x.mod", Bytes(20, 'o'));
  const auto directory = OpenDirectory(".");
  LoadedEntry loaded;
  ASSERT_EQ(directory->Load("x.mod", loaded), LoadStatus::kLoaded);
  const auto time = std::filesystem::last_write_time("x.mod");
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // a clock tick later
  const Bytes saved(20, 's');
  dir.Write("x.mod", saved);
  std::filesystem::last_write_time("x.mod", time);
  DiagnosticCapture captured;
  EXPECT_EQ(directory->Store("x.mod", Bytes(20, 'n'), &loaded), StoreOutcome::kFailed);
  EXPECT_EQ(dir.Read("x.mod"), saved);
}

TEST(DirectoryWindows, OutputsReadOnlyOrHeldOpenAreLeftAsTheyAre) {
  ScratchDir dir;
  const Bytes old = {'o', 'l', 'd'};
  dir.Write("r.bak", testing::ModelWithTrailingByte());
  dir.Write("r.mod", old);
  std::filesystem::permissions("r.mod", std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
  DiagnosticCapture captured;
  testing::RunBatchHere();
  EXPECT_EQ(Count(captured.messages(), "Can't open r.mod!\n"), 1);
  // Held by a reader that lets others read and write but not delete: the
  // output cannot be replaced, even after the retries.
  dir.Write("h.mod", old);
  std::ifstream holder("h.mod", std::ios::binary);
  ASSERT_TRUE(holder.is_open());
  EXPECT_EQ(OpenDirectory(".")->Store("h.mod", Bytes(20, 'n'), nullptr), StoreOutcome::kFailed);
  EXPECT_EQ(captured.last_message(), "Can't write h.mod!\n");
  EXPECT_EQ(dir.Read("r.mod"), old);
  EXPECT_EQ(dir.Read("h.mod"), old);
  EXPECT_EQ(dir.Snapshot().size(), 3u) << "no temporary left";
}

}  // namespace
}  // namespace railfmt
