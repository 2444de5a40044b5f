#include "driver/platform_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/scratch_dir.h"

namespace railfmt {
namespace {

using testing::ScratchDir;

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

TEST(PlatformFiles, ReadsWholeFilesOfEverySize) {
  ScratchDir dir;
  for (std::size_t size : {0u, 1u, 4095u, 4096u, 4097u, 1000000u}) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + size);
    dir.Write("f", bytes);
    std::vector<std::uint8_t> read = {9, 9};
    ASSERT_TRUE(LoadRegularFile("f", read)) << size;
    EXPECT_EQ(read, bytes) << size;
  }
}

TEST(PlatformFiles, AFileLongerThanItsReportedSizeIsReadToItsEnd) {
  // Files of /proc report the size 0 and still hold bytes.
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(LoadRegularFile("/proc/self/status", bytes));
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_EQ(text.rfind("Name:", 0), 0u) << text.substr(0, 40);
  EXPECT_NE(text.find("\nPid:"), std::string::npos);
}

TEST(PlatformFiles, WhatCannotBeReadAsARegularFileFails) {
  ScratchDir dir;
  ASSERT_EQ(::mkfifo("fifo", 0644), 0);
  ASSERT_EQ(::symlink("loop", "loop"), 0);
  ASSERT_EQ(::mkdir("sub", 0755), 0);
  // /proc/self/mem is a regular file whose first page cannot be read.
  for (const char* path : {"fifo", "loop", "sub", "missing", "/dev/zero", "/proc/self/mem"}) {
    std::vector<std::uint8_t> bytes = {1, 2, 3};
    EXPECT_FALSE(LoadRegularFile(path, bytes)) << path;
    EXPECT_TRUE(bytes.empty()) << path;
  }
}

}  // namespace
}  // namespace railfmt
