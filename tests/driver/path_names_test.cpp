#include "driver/path_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace railfmt {
namespace {

TEST(PathNames, BaseNameAndExtension) {
  struct Case {
    const char* path;
    const char* base;
    const char* ext;
  };
  const Case cases[] = {
      {"x.mod", "x", "mod"},
      {"a.b.c", "a.b", "c"},
      {"noext", "noext", ""},
      {"x.", "x", ""},
      {"dir\\x.mod", "x", "mod"},
      {"d.ir\\name", "name", ""},  // a dot in the directory part cuts only that part
      {"d.ir\\name.rol", "name", "rol"},
      {"dir.\\name", "name", ""},  // the dot just before the backslash
      {"dir\\.rol", "", "rol"},    // the dot just after it
      {".rol", "", "rol"},
      {"foo.exe.bak", "foo.exe", "bak"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
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
