#include "driver/platform_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/scratch_dir.h"

namespace railfmt {
namespace {

using testing::ScratchDir;

std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  return bytes;
}

TEST(PlatformFiles, ListsEveryNameOfADirectory) {
  ScratchDir dir;
  dir.Write("a", {});
  dir.Write(".hidden", {});
  ASSERT_EQ(::mkdir("sub", 0755), 0);
  std::vector<std::string> names = ListDirectoryNames(".");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{".", "..", ".hidden", "a", "sub"}));
  EXPECT_TRUE(ListDirectoryNames("no such directory").empty());
}

TEST(LoadRegularFile, DeliversEveryByteOfFilesOfAnySizeIntoAReusedBuffer) {
  ScratchDir dir;
  // Largest first, so that every later load reuses a larger buffer and must
  // still deliver exactly its own bytes.
  const std::size_t sizes[] = {(1u << 20) + 1, 65539, 4097, 4096, 255, 1, 0};
  std::vector<std::uint8_t> bytes;
  EntryBuffer buffer;
  for (std::size_t size : sizes) {
    SCOPED_TRACE(size);
    const std::string name = "f" + std::to_string(size);
    dir.Write(name, Pattern(size));
    ASSERT_TRUE(LoadRegularFile(name, bytes));
    EXPECT_EQ(bytes, Pattern(size));
    ASSERT_TRUE(LoadRegularFile(name, buffer));
    EXPECT_EQ(std::vector<std::uint8_t>(buffer.bytes().begin(), buffer.bytes().end()), Pattern(size));
  }
  // Smallest first: the entry buffer grows and must keep what it read.
  for (auto it = std::rbegin(sizes); it != std::rend(sizes); ++it) {
    ASSERT_TRUE(LoadRegularFile("f" + std::to_string(*it), buffer));
    EXPECT_EQ(std::vector<std::uint8_t>(buffer.bytes().begin(), buffer.bytes().end()), Pattern(*it));
  }
  EXPECT_FALSE(LoadRegularFile("absent", buffer));
  EXPECT_TRUE(buffer.bytes().empty());
}

TEST(LoadRegularFile, ReadsOnPastTheSizeTheSystemReported) {
  // Files of /proc report the size 0 and hold text all the same.
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(LoadRegularFile("/proc/self/status", bytes));
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_EQ(text.rfind("Name:", 0), 0u) << text;
  EXPECT_NE(text.find("\nPid:"), std::string::npos);
  EntryBuffer buffer;
  ASSERT_TRUE(LoadRegularFile("/proc/self/status", buffer));
  const std::string again(buffer.bytes().begin(), buffer.bytes().end());
  EXPECT_EQ(again.rfind("Name:", 0), 0u) << again;
  EXPECT_NE(again.find("\nVmPeak:"), std::string::npos) << "read on past the first block";
}

TEST(LoadRegularFile, FailsWithAnEmptyBufferOnAnythingButARegularFile) {
  ScratchDir dir;
  ASSERT_EQ(::mkdir("subdir", 0755), 0);
  ASSERT_EQ(::mkfifo("pipe", 0644), 0);
  ASSERT_EQ(::symlink("missing", "dangling"), 0);
  dir.Write("target", Pattern(10));
  ASSERT_EQ(::symlink("target", "link"), 0);
  std::vector<std::uint8_t> bytes = Pattern(3);
  for (const char* name : {"subdir", "pipe", "dangling", "absent"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(LoadRegularFile(name, bytes));
    EXPECT_TRUE(bytes.empty());
  }
  ASSERT_TRUE(LoadRegularFile("link", bytes));
  EXPECT_EQ(bytes, Pattern(10));
}

}  // namespace
}  // namespace railfmt
