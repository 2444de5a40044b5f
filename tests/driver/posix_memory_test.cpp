#include "driver/posix_memory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>

#include "tests/support/scratch_dir.h"

namespace railfmt {
namespace {

// The files the kernel shows a process, as a container sees them: its
// groups, the mounts of their hierarchies, the limits and use in them.
TEST(ContainerMemoryLeft, TheTightestLimitOverTheGroupAndItsParentsLessWhatIsInUse) {
  struct Case {
    const char* what;
    std::map<std::string, std::string> files;  // path -> content
    std::optional<std::uint64_t> left;
  };
  const std::string v2_mount = "30 1 0:26 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n";
  const std::string v1_mount =
      "31 1 0:27 / /sys/fs/cgroup/memory rw - cgroup cgroup rw,memory\n"
      "32 1 0:28 / /sys/fs/cgroup/cpu rw - cgroup cgroup rw,cpu\n";
  const std::vector<Case> cases = {
      {"v2: the group's limit less what it uses, droppable cache not counted",
       {{"/proc/self/cgroup", "0::/app\n"},
        {"/proc/self/mountinfo", v2_mount},
        {"/sys/fs/cgroup/app/memory.max", "1000\n"},
        {"/sys/fs/cgroup/app/memory.current", "300\n"},
        {"/sys/fs/cgroup/app/memory.stat", "anon 150\ninactive_file 100\nactive_file 50\n"}},
       800},
      {"v2: a parent's tighter limit",
       {{"/proc/self/cgroup", "0::/app/job\n"},
        {"/proc/self/mountinfo", v2_mount},
        {"/sys/fs/cgroup/app/job/memory.max", "max\n"},
        {"/sys/fs/cgroup/app/job/memory.current", "100\n"},
        {"/sys/fs/cgroup/app/memory.max", "500\n"},
        {"/sys/fs/cgroup/app/memory.current", "100\n"}},
       400},
      {"v2: more in use than the limit",
       {{"/proc/self/cgroup", "0::/app\n"},
        {"/proc/self/mountinfo", v2_mount},
        {"/sys/fs/cgroup/app/memory.max", "1000\n"},
        {"/sys/fs/cgroup/app/memory.current", "1200\n"}},
       0},
      {"v2: a container's own group is the root of its mount",
       {{"/proc/self/cgroup", "0::/pods/p1\n"},
        {"/proc/self/mountinfo", "30 1 0:26 /pods/p1 /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"},
        {"/sys/fs/cgroup/memory.max", "2000\n"},
        {"/sys/fs/cgroup/memory.current", "500\n"}},
       1500},
      {"v1: the limit less usage and droppable cache",
       {{"/proc/self/cgroup", "5:cpu:/\n4:memory:/docker/abc\n0::/\n"},
        {"/proc/self/mountinfo", v1_mount},
        {"/sys/fs/cgroup/memory/docker/abc/memory.limit_in_bytes", "4096\n"},
        {"/sys/fs/cgroup/memory/docker/abc/memory.usage_in_bytes", "2048\n"},
        {"/sys/fs/cgroup/memory/docker/abc/memory.stat", "cache 1024\ntotal_inactive_file 1024\n"}},
       3072},
      {"v1: no limit (the largest number it holds)",
       {{"/proc/self/cgroup", "4:memory:/docker/abc\n"},
        {"/proc/self/mountinfo", v1_mount},
        {"/sys/fs/cgroup/memory/docker/abc/memory.limit_in_bytes", "9223372036854771712\n"},
        {"/sys/fs/cgroup/memory/memory.limit_in_bytes", "9223372036854771712\n"}},
       std::nullopt},
      {"v1 mounted where the path holds a space",
       {{"/proc/self/cgroup", "4:memory,hugetlb:/g\n"},
        {"/proc/self/mountinfo", "31 1 0:27 / /cg\\040mem rw - cgroup cgroup rw,hugetlb,memory\n"},
        {"/cg mem/g/memory.limit_in_bytes", "100\n"},
        {"/cg mem/g/memory.usage_in_bytes", "40\n"}},
       60},
      {"no control groups", {}, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::ScratchDir root(false);
    for (const auto& [path, content] : c.files) {
      const std::filesystem::path file = root.path() + path;
      std::filesystem::create_directories(file.parent_path());
      std::ofstream(file) << content;
    }
    EXPECT_EQ(ContainerMemoryLeft(root.path()), c.left);
  }
}

}  // namespace
}  // namespace railfmt
