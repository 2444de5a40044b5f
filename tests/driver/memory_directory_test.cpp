#include "driver/memory_directory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace railfmt {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A preview decides as the store does and changes nothing: in every case
// a store decides, Preview gives the outcome of the Store that follows;
// what the store leaves is what the front hands out as written.
TEST(MemoryDirectory, APreviewForeseesTheStoreThatFollowsAndChangesNothing) {
  struct Case {
    const char* what;
    bool exists;   // o.mod holds the old bytes before
    Bytes stored;  // the bytes stored as o.mod
    StoreOutcome outcome;
  };
  const Bytes old = {'o', 'l', 'd'};
  const Bytes other = {'n', 'e', 'w'};
  const Case cases[] = {
      {"a new output", false, other, StoreOutcome::kCreated},
      {"an output holding the bytes", true, old, StoreOutcome::kUnchanged},
      {"other bytes", true, other, StoreOutcome::kReplaced},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryDirectory directory;
    directory.Add("a.bak", other);
    if (c.exists) directory.Add("o.mod", old);
    const std::vector<std::string> names = directory.ListNames();
    EXPECT_EQ(directory.Preview("o.mod", c.stored, nullptr), c.outcome);
    EXPECT_EQ(directory.ListNames(), names);
    EXPECT_TRUE(directory.written().empty());
    EXPECT_EQ(directory.Store("o.mod", c.stored, nullptr), c.outcome);
    EXPECT_EQ(*directory.Find("o.mod"), c.stored);
    EXPECT_EQ(directory.written(), std::vector<std::string>{"o.mod"});
  }
}

}  // namespace
}  // namespace railfmt
