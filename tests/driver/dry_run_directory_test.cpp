#include "driver/dry_run_directory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "driver/memory_directory.h"

namespace railfmt {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A dry run decides every store as the real directory would and leaves the
// real one as it was. Once a name has been visited only the size and a
// fingerprint of what was stored there stay: a later store of other bytes
// of the same size is still a replacement.
TEST(DryRunDirectory, DecidesAsTheRealDirectoryAndWritesNothing) {
  MemoryDirectory real;
  real.Add("a.bak", Bytes{'a'});
  real.Add("o.mod", Bytes{'o', 'l', 'd'});
  DryRunDirectory dry(real);
  ASSERT_EQ(dry.ListNames(), (std::vector<std::string>{"a.bak", "o.mod"}));
  LoadedEntry source;
  ASSERT_EQ(dry.Load("a.bak", source), LoadStatus::kLoaded);

  struct Step {
    const char* what;
    const char* name;
    Bytes bytes;
    StoreOutcome outcome;
  };
  const Step steps[] = {
      {"a new name", "n.mod", {'n', '1'}, StoreOutcome::kCreated},
      {"the same bytes again", "n.mod", {'n', '1'}, StoreOutcome::kUnchanged},
      {"other bytes of the same size", "n.mod", {'n', '2'}, StoreOutcome::kReplaced},
      {"other bytes of another size", "n.mod", {'n'}, StoreOutcome::kReplaced},
      {"a listed name not visited yet", "o.mod", {'n', 'e', 'w'}, StoreOutcome::kReplaced},
      {"the same bytes over it", "o.mod", {'n', 'e', 'w'}, StoreOutcome::kUnchanged},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    EXPECT_EQ(dry.Preview(step.name, step.bytes, &source), step.outcome);
    EXPECT_EQ(dry.Store(step.name, step.bytes, &source), step.outcome);
  }
  EXPECT_TRUE(real.written().empty());
  EXPECT_EQ(real.Find("n.mod"), nullptr);
  EXPECT_EQ(*real.Find("o.mod"), (Bytes{'o', 'l', 'd'}));

  // o.mod's turn reads what the run stored there, and says who stored it.
  LoadedEntry entry;
  ASSERT_EQ(dry.Load("o.mod", entry), LoadStatus::kLoaded);
  EXPECT_EQ(Bytes(entry.bytes().begin(), entry.bytes().end()), (Bytes{'n', 'e', 'w'}));
  EXPECT_EQ(dry.LastLoadWrittenBy(), "a.bak");
  EXPECT_EQ(dry.Store("o.mod", Bytes{'n', 'e', 'x'}, &entry), StoreOutcome::kReplaced);
  EXPECT_EQ(dry.Store("o.mod", Bytes{'n', 'e', 'x'}, &entry), StoreOutcome::kUnchanged);
}

}  // namespace
}  // namespace railfmt
