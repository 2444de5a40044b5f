#include "driver/memory_directory.h"

#include <gtest/gtest.h>

#include "driver/diagnostics.h"

#include <cstdint>
#include <string>
#include <vector>

namespace railfmt {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A preview decides as the store does and changes nothing: in every case
// a store decides, Preview gives the outcome of the Store that follows;
// every output a store leaves holding its bytes is noted once.
TEST(MemoryDirectory, APreviewForeseesTheStoreThatFollowsAndChangesNothing) {
  enum class Meanwhile { kNothing, kSaved, kRemoved, kStoredUnchanged, kStoredOther };
  struct Case {
    const char* what;
    bool exists;          // o.mod holds the old bytes before
    bool from_loaded;     // the bytes were made from o.mod, loaded first
    Meanwhile meanwhile;  // after the load
    Bytes stored;         // the bytes stored as o.mod
    StoreOutcome outcome;
  };
  const Bytes old = {'o', 'l', 'd'};
  const Bytes other = {'n', 'e', 'w'};
  const Case cases[] = {
      {"a new output", false, false, Meanwhile::kNothing, other, StoreOutcome::kCreated},
      {"an output holding the bytes", true, false, Meanwhile::kNothing, old, StoreOutcome::kUnchanged},
      {"other bytes", true, false, Meanwhile::kNothing, other, StoreOutcome::kReplaced},
      {"other bytes over the input", true, true, Meanwhile::kNothing, other, StoreOutcome::kReplaced},
      {"an input saved since its load", true, true, Meanwhile::kSaved, other, StoreOutcome::kFailed},
      {"an input gone since its load", true, true, Meanwhile::kRemoved, other, StoreOutcome::kFailed},
      {"an input given the bytes it holds since its load", true, true, Meanwhile::kStoredUnchanged, other,
       StoreOutcome::kReplaced},
      {"an input stored over since its load", true, true, Meanwhile::kStoredOther, other, StoreOutcome::kFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryDirectory directory;
    directory.Add("a.bak", other);
    if (c.exists) directory.Add("o.mod", old);
    LoadedEntry loaded;
    if (c.from_loaded) {
      ASSERT_EQ(directory.Load("o.mod", loaded), LoadStatus::kLoaded);
    }
    if (c.meanwhile == Meanwhile::kSaved) directory.Add("o.mod", old);
    if (c.meanwhile == Meanwhile::kRemoved) directory = MemoryDirectory();
    if (c.meanwhile == Meanwhile::kStoredUnchanged) directory.Store("o.mod", old, nullptr);
    if (c.meanwhile == Meanwhile::kStoredOther) directory.Store("o.mod", Bytes{'s', 'e', 't'}, nullptr);
    const LoadedEntry* source = c.from_loaded ? &loaded : nullptr;
    const std::vector<std::string> names = directory.ListNames();
    EXPECT_EQ(directory.Preview("o.mod", c.stored, source), c.outcome);
    EXPECT_EQ(directory.ListNames(), names);
    const std::vector<std::string> written = directory.written();
    DiagnosticCapture captured;
    EXPECT_EQ(directory.Store("o.mod", c.stored, source), c.outcome);
    if (c.outcome == StoreOutcome::kFailed) {
      EXPECT_EQ(captured.messages(), std::vector<std::string>{"Can't write o.mod!\n"});
      EXPECT_EQ(directory.written(), written);
      continue;
    }
    EXPECT_EQ(*directory.Find("o.mod"), c.stored);
    // Stored again: noted once.
    EXPECT_EQ(directory.Store("o.mod", c.stored, nullptr), StoreOutcome::kUnchanged);
    EXPECT_EQ(directory.written(), std::vector<std::string>{"o.mod"});
  }
}

}  // namespace
}  // namespace railfmt
