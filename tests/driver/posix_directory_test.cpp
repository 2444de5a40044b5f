#include "driver/directory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "driver/posix_directory.h"
#include "tests/support/data_table.h"
#include "tests/support/scratch_dir.h"

namespace railfmt {
namespace {

using testing::ScratchDir;

std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  return bytes;
}

std::vector<std::uint8_t> Bytes(const LoadedEntry& entry) { return {entry.bytes().begin(), entry.bytes().end()}; }

// How many descriptors this process holds open.
std::size_t OpenDescriptors() {
  const std::filesystem::directory_iterator fds("/proc/self/fd");
  return static_cast<std::size_t>(std::distance(fds, std::filesystem::directory_iterator()));
}

// tests/data/driver/temporary_names.tsv: only the names a run makes for its
// temporaries name a writer.
TEST(TemporaryWriter, OnlyTheNamesARunMakesNameAWriter) {
  for (const std::vector<std::string>& row : testing::DataRows("driver/temporary_names.tsv")) {
    const std::optional<long> writer = row.at(1) == "-" ? std::nullopt : std::optional<long>(std::stol(row[1]));
    EXPECT_EQ(TemporaryWriter(row.at(0)), writer) << row.at(0) << ": " << row.at(2);
  }
}

TEST(LoadRegularFile, DeliversEveryByteOfFilesOfAnySizeIntoAReusedBuffer) {
  ScratchDir dir;
  // Largest first, so that every later load reuses a larger buffer and must
  // still deliver exactly its own bytes.
  const std::size_t sizes[] = {(1u << 20) + 1, 65539, 4097, 4096, 255, 1, 0};
  const auto directory = OpenDirectory(".");
  const std::size_t descriptors = OpenDescriptors();
  LoadedEntry entry;
  for (std::size_t size : sizes) {
    SCOPED_TRACE(size);
    const std::string name = "f" + std::to_string(size);
    dir.Write(name, Pattern(size));
    ASSERT_EQ(directory->Load(name, entry), LoadStatus::kLoaded);
    EXPECT_EQ(Bytes(entry), Pattern(size));
    EXPECT_EQ(entry.name(), name);
    EXPECT_EQ(entry.identity().size, size);
  }
  // Smallest first: the entry buffer grows and must keep what it read.
  for (auto it = std::rbegin(sizes); it != std::rend(sizes); ++it) {
    ASSERT_EQ(directory->Load("f" + std::to_string(*it), entry), LoadStatus::kLoaded);
    EXPECT_EQ(Bytes(entry), Pattern(*it));
  }
  EXPECT_EQ(directory->Load("absent", entry), LoadStatus::kMissing);
  EXPECT_TRUE(entry.bytes().empty());
  EXPECT_EQ(entry.identity().size, 0u) << "the identity of the file loaded before";
  EXPECT_EQ(OpenDescriptors(), descriptors) << "every file is closed once read";
}

// A file that grows while it is read is read as far as the size it had when
// it was opened, in pieces that never ask for more than is left of it: the
// buffer holds that size and not a byte more.
TEST(LoadRegularFile, AFileGrowingWhileItIsReadIsReadAsItWasOpened) {
  ScratchDir dir;
  const std::size_t size = (9u << 20) + 5;  // three pieces, the last a short one
  dir.Write("big.mod", Pattern(size));
  std::vector<std::size_t> asked;
  const auto directory = OpenDirectory(".", [&](StoreStep step, std::string_view, std::size_t& wanted) {
    if (step != StoreStep::kRead) return false;
    if (asked.empty()) std::ofstream("big.mod", std::ios::app) << std::string(1u << 20, 'g');
    asked.push_back(wanted);
    return false;
  });
  LoadedEntry entry;
  ASSERT_EQ(directory->Load("big.mod", entry), LoadStatus::kLoaded);
  EXPECT_EQ(Bytes(entry), Pattern(size));
  EXPECT_EQ(asked, (std::vector<std::size_t>{4u << 20, 4u << 20, (1u << 20) + 5}));
}

// What the listing called a regular file may be something else by its
// turn: a FIFO put in its place is looked at once opened and never read.
TEST(LoadRegularFile, AFifoPutInTheListedFilesPlaceIsNotRead) {
  ScratchDir dir;
  dir.Write("a.mod", Pattern(10));
  const auto directory = OpenDirectory(".");
  ASSERT_EQ(directory->ListNames(), std::vector<std::string>{"a.mod"});
  ASSERT_EQ(::unlink("a.mod"), 0);
  ASSERT_EQ(::mkfifo("a.mod", 0644), 0);
  LoadedEntry entry;
  EXPECT_EQ(directory->Load("a.mod", entry), LoadStatus::kSpecial);
}

}  // namespace
}  // namespace railfmt
