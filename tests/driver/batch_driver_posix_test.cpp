// The batch over what only POSIX directories hold: FIFOs, and symbolic
// links that lead nowhere.
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/batch_driver.h"
#include "driver/diagnostics.h"
#include "tests/support/scratch_dir.h"

namespace railfmt {
namespace {
using testing::ScratchDir;

TEST(BatchDriverPosix, EntriesThatAreNotRegularFilesAreReportedAndPassedOver) {
  ScratchDir dir;
  ASSERT_EQ(::mkdir("subdir", 0755), 0);
  ASSERT_EQ(::mkfifo("pipe", 0644), 0);
  ASSERT_EQ(::symlink("loop", "loop"), 0);
  const auto before = dir.Snapshot();
  // Such entries are not even opened: opening a FIFO would release a writer
  // that waits for a reader, and opening a device may act on the device.
  const int opens = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(opens, 0);
  for (const char* name : {"subdir", "pipe"}) ASSERT_GE(::inotify_add_watch(opens, name, IN_OPEN), 0);
  DiagnosticCapture captured;
  testing::RunBatchHere();  // must not block on the FIFO
  char events[4096];
  EXPECT_EQ(::read(opens, events, sizeof events), -1) << "an entry that is not a regular file was opened";
  ::close(opens);
  EXPECT_EQ(dir.Snapshot(), before);
  EXPECT_EQ(captured.mismatches(), "");
  // Each of the four readers reports the entry it could not open.
  std::vector<std::string> expected;
  for (const char* name : {"loop", "pipe", "subdir"}) {
    for (int kind = 0; kind < 4; ++kind) expected.push_back(std::string("Can't open ") + name + "!\n");
  }
  EXPECT_EQ(captured.messages(), expected);
}

}  // namespace
}  // namespace railfmt
