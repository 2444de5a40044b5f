// railinspect on what only POSIX directories hold: FIFOs and symbolic links.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/scratch_dir.h"
#include "tests/tools/railinspect/inspect_runner.h"

namespace railfmt {
namespace {

using testing::RunInspect;
using testing::ScratchDir;

TEST(RailinspectPosix, ALinkToTheFileDrawnIsNoPlaceForItsPicture) {
  ScratchDir dir;
  dir.Write("a.bin", {1, 2, 3});
  ASSERT_EQ(::symlink("a.bin", "link.svg"), 0);
  const auto before = dir.Snapshot();
  const testing::InspectRun run = RunInspect("--svg link.svg a.bin");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err, "");
  EXPECT_EQ(dir.Snapshot(), before);
}

TEST(RailinspectPosix, FilesThatCannotBeReadAreNotRecognised) {
  ScratchDir dir;
  ASSERT_EQ(::mkfifo("pipe", 0644), 0);
  const testing::InspectRun run = RunInspect("missing.mod pipe");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "missing.mod: not a readable regular file\n"
            "pipe: not a readable regular file\n"
            "2 files, 0 recognised, 2 not recognised\n");
}

}  // namespace
}  // namespace railfmt
