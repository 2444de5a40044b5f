#include "driver/memory_directory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace railfmt {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(MemoryDirectory, StoresAsADirectoryWouldAndNotesWhatItWrote) {
  struct Case {
    const char* name;
    Bytes bytes;
    StoreOutcome outcome;
  };
  MemoryDirectory dir;
  dir.Add("a.mod", Bytes{1, 2});
  const Case cases[] = {
      {"b.mod", {7}, StoreOutcome::kCreated},
      {"a.mod", {1, 2}, StoreOutcome::kUnchanged},
      {"a.mod", {1, 2, 3}, StoreOutcome::kReplaced},
      {"b.mod", {}, StoreOutcome::kReplaced},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dir.Store(c.name, c.bytes, nullptr), c.outcome) << c.name;
    EXPECT_EQ(*dir.Find(c.name), c.bytes) << c.name;
  }
  EXPECT_EQ(dir.ListNames(), (std::vector<std::string>{"a.mod", "b.mod"}));
  EXPECT_EQ(dir.written(), (std::vector<std::string>{"b.mod", "a.mod"}));

  LoadedEntry entry;
  ASSERT_EQ(dir.Load("a.mod", entry), LoadStatus::kLoaded);
  EXPECT_EQ(Bytes(entry.bytes().begin(), entry.bytes().end()), (Bytes{1, 2, 3}));
  const FileIdentity before = entry.identity();
  dir.Store("a.mod", Bytes{4}, &entry);
  ASSERT_EQ(dir.Load("a.mod", entry), LoadStatus::kLoaded);
  EXPECT_NE(entry.identity(), before);  // a store is seen as a change of the file
  EXPECT_EQ(dir.Load("c.mod", entry), LoadStatus::kMissing);
}

}  // namespace
}  // namespace railfmt
