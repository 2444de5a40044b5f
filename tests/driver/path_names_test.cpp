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
  for (const char* skipped : {"Foo.EXE", "foo.exe", "x.ExE", ".hidden", ".", "..", ".rol"}) {
    EXPECT_TRUE(IsSkippedName(skipped)) << skipped;
  }
  for (const char* visited : {"foo.exe.bak", "exe", "x.exe2", "x.ex", "x.eye", "a\\b.exe\\c"}) {
    EXPECT_FALSE(IsSkippedName(visited)) << visited;
  }
}

TEST(PathNames, DirectoryOrderFoldsAsciiCaseThenComparesBytes) {
  std::vector<std::string> names = {"_x", "b", "B1", "a", "A", "\xC3\xA4", "Z", "10", "1"};
  std::sort(names.begin(), names.end(),
            [](const std::string& x, const std::string& y) { return DirectoryOrderLess(x, y); });
  const std::vector<std::string> expected = {"1", "10", "A", "a", "b", "B1", "Z", "_x", "\xC3\xA4"};
  EXPECT_EQ(names, expected);
  EXPECT_FALSE(DirectoryOrderLess("same", "same"));
  // Only a to z fold: each row puts a byte at the edge of a letter range
  // against a neighbour that orders differently once it is folded or not.
  struct Ordered {
    std::string_view first;
    std::string_view second;
    const char* why;
  };
  const Ordered rows[] = {
      {"a", "B", "folded before the raw bytes count"},
      {"a", "[", "a is the first letter folded"},
      {"z", "[", "z is the last letter folded"},
      {"Z", "`", "the byte before a is not folded"},
      {"_", "{", "the byte after z is not folded"},
      {"A", "a", "equal when folded: the raw bytes decide"},
      {std::string_view("A?", 1), std::string_view("a!", 1), "a name ends where its view ends"},
  };
  for (const Ordered& row : rows) {
    EXPECT_TRUE(DirectoryOrderLess(row.first, row.second)) << row.why;
    EXPECT_FALSE(DirectoryOrderLess(row.second, row.first)) << row.why;
  }
}

}  // namespace
}  // namespace railfmt
