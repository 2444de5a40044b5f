#include "driver/path_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/data_table.h"

namespace railfmt {
namespace {

// A path as tests/data/driver/base_names.tsv spells it, with its base
// name and extension.
struct PathParts {
  std::string path;
  std::string base;
  std::string ext;
  std::string what;
};
PathParts PathPartsOf(const std::vector<std::string>& row) { return {row.at(0), row.at(1), row.at(2), row.at(3)}; }

TEST(PathNames, BaseNameAndExtension) {
  for (const std::vector<std::string>& row : testing::DataRows("driver/base_names.tsv")) {
    const PathParts c = PathPartsOf(row);
    SCOPED_TRACE(c.path + ": " + c.what);
    EXPECT_EQ(BaseName(c.path), c.base);
    EXPECT_EQ(Extension(c.path), c.ext);
  }
  const std::string long_name = std::string(1000, 'n') + ".mod";
  EXPECT_EQ(BaseName(long_name), std::string(1000, 'n'));
}

TEST(PathNames, SkipRule) {
  for (const std::vector<std::string>& row : testing::DataRows("driver/skipped_names.tsv")) {
    EXPECT_EQ(IsSkippedName(row.at(0)), row.at(1) == "skipped") << row.at(0) << ": " << row.at(2);
  }
}

TEST(PathNames, DirectoryOrderFoldsAsciiCaseThenComparesBytes) {
  std::vector<std::string> names = {"_x", "b", "B1", "a", "A", "\xC3\xA4", "Z", "10", "1"};
  std::sort(names.begin(), names.end(),
            [](const std::string& x, const std::string& y) { return DirectoryOrderLess(x, y); });
  const std::vector<std::string> expected = {"1", "10", "A", "a", "b", "B1", "Z", "_x", "\xC3\xA4"};
  EXPECT_EQ(names, expected);
  EXPECT_FALSE(DirectoryOrderLess("same", "same"));
  for (const std::vector<std::string>& row : testing::DataRows("driver/directory_order.tsv")) {
    EXPECT_TRUE(DirectoryOrderLess(row.at(0), row.at(1))) << row.at(2);
    EXPECT_FALSE(DirectoryOrderLess(row.at(1), row.at(0))) << row.at(2);
  }
  EXPECT_TRUE(DirectoryOrderLess(std::string_view("A?", 1), std::string_view("a!", 1))) << "names end where views end";
}

}  // namespace
}  // namespace railfmt
