#include "driver/directory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "tests/driver/directory_store_fixture.h"

namespace railfmt {
namespace {

// An output that holds the bytes already is not written at all: no write
// can then race with another program's save, whenever that comes. Over the
// entry the bytes were made from, even the look at the file is spared.
TEST_F(OutputFileTest, AnOutputThatHoldsTheBytesIsNotWrittenAtAll) {
  struct Case {
    const char* what;
    bool from_loaded;      // the bytes were made from the entry, loaded first
    bool saved_meanwhile;  // another program saved other bytes after the load
  };
  const Case cases[] = {
      {"an output beside its input", false, false},
      {"an input rewritten in place", true, false},
      {"an input another program saved since its load", true, true},
  };
  const std::vector<std::uint8_t> saved = {'s', 'a', 'v', 'e', 'd'};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dir_.Clear();
    dir_.Write("s.mod", new_);
    LoadedEntry loaded;
    if (c.from_loaded) {
      ASSERT_EQ(directory_->Load("s.mod", loaded), LoadStatus::kLoaded);
    }
    if (c.saved_meanwhile) dir_.Write("s.mod", saved);
    faults_.Reset();
    DiagnosticCapture captured;
    EXPECT_EQ(directory_->Store("s.mod", new_, c.from_loaded ? &loaded : nullptr), StoreOutcome::kUnchanged);
    EXPECT_EQ(dir_.Read("s.mod"), c.saved_meanwhile ? saved : new_);
    if (c.from_loaded) {
      EXPECT_EQ(faults_.Count(StoreStep::kOpen), 0);
    }
    for (const StoreStep step : {StoreStep::kWrite, StoreStep::kSync, StoreStep::kClose, StoreStep::kRename}) {
      EXPECT_EQ(faults_.Count(step), 0) << static_cast<int>(step);
    }
    EXPECT_EQ(dir_.Snapshot().size(), 1u);
    EXPECT_TRUE(captured.messages().empty());
  }
}

}  // namespace
}  // namespace railfmt
