#include "driver/batch_driver.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/capture.h"
#include "tests/support/scratch_dir.h"

namespace railfmt {
namespace {

using testing::CapturedOutput;
using testing::RunCommand;
using testing::ScratchDir;

TEST(BatchDriver, VisitsASortedSnapshotWithoutSkippedNames) {
  ScratchDir dir;
  for (const char* name : {"b.mod", "Foo.EXE", "foo.exe", ".hidden", "A.rol", "a.kon", "foo.exe.bak", "exe"}) {
    dir.Write(name, {1});
  }
  const std::vector<std::string> expected = {"a.kon", "A.rol", "b.mod", "exe", "foo.exe.bak"};
  EXPECT_EQ(EntriesToVisit("."), expected);
}

TEST(BatchDriver, EntriesThatAreNotRegularFilesAreReportedAndPassedOver) {
  ScratchDir dir;
  ASSERT_EQ(::mkdir("subdir", 0755), 0);
  ASSERT_EQ(::mkfifo("pipe", 0644), 0);
  ASSERT_EQ(::symlink("loop", "loop"), 0);
  const auto before = dir.Snapshot();
  CapturedOutput captured;
  RunBatch();  // must not block on the FIFO
  EXPECT_EQ(dir.Snapshot(), before);
  EXPECT_EQ(captured.mismatches(), "");
}

TEST(BatchDriver, TheToolPrintsNothingForAnEmptyDirectoryAndExitsZero) {
  ScratchDir dir;
  int status = -1;
  const std::string out = RunCommand(std::string("'") + RAILFMT_BINARY + "' ignored arguments --help", &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out, "");
  EXPECT_TRUE(dir.Snapshot().empty());
}

}  // namespace
}  // namespace railfmt
