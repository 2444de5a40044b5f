#include "driver/posix_memory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/data_table.h"
#include "tests/support/scratch_dir.h"

namespace railfmt {
namespace {

// A container as tests/data/driver/container_memory.tsv spells it: the
// files the kernel shows a process in it (its groups, the mounts of their
// hierarchies, the limits and use in them) and the memory they leave.
struct Case {
  std::string what;
  std::optional<std::uint64_t> left;
  std::map<std::string, std::string> files;  // path -> content
};
Case CaseOf(const std::vector<std::string>& row) {
  Case c{row.at(0), std::nullopt, {}};
  if (row.at(1) != "-") c.left = std::stoull(row[1]);
  for (std::size_t i = 2; i < row.size(); i += 2) c.files[row[i]] = row.at(i + 1);
  return c;
}

TEST(ContainerMemoryLeft, TheTightestLimitOverTheGroupAndItsParentsLessWhatIsInUse) {
  for (const std::vector<std::string>& row : testing::DataRows("driver/container_memory.tsv")) {
    const Case c = CaseOf(row);
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
