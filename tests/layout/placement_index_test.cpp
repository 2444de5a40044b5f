#include "layout/placement_index.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <string>
#include <vector>

#include "tests/support/mutator.h"

namespace railfmt {
namespace {

// The placement equality, spelled out: what the index must agree with.
bool Matches(const PlacementKey& a, const PlacementKey& b) {
  if (a.position != b.position || a.name != b.name) return false;
  for (std::size_t i = 0; i < 3; ++i) {
    if (!std::isnan(a.direction[i]) && !std::isnan(b.direction[i]) && a.direction[i] != b.direction[i]) return false;
  }
  return true;
}

TEST(PlacementIndex, AgreesWithALinearSearchWhileItGrows) {
  // Few distinct values, so that matches are frequent; every NaN pattern;
  // a table sized for one entry, so that it grows many times.
  testing::Mutator random(77);
  const std::vector<std::string> names = {"..\\Bruecken1", "..\\Prellbock", "haus"};
  const float values[] = {0.0f, -0.0f, 1.0f, std::bit_cast<float>(0x7FC00000u), std::bit_cast<float>(0xFFC00123u)};
  const auto key = [&] {
    PlacementKey k;
    k.position = {static_cast<std::int32_t>(random.Below(10)), static_cast<std::int32_t>(random.Below(10)), -1};
    k.name = names[random.Below(names.size())];
    for (float& d : k.direction) d = values[random.Below(std::size(values))];
    return k;
  };
  std::vector<PlacementKey> entries;
  for (int i = 0; i < 300; ++i) entries.push_back(key());
  PlacementIndex index(0xFF, 1);
  for (std::size_t i = 0; i < entries.size(); ++i) index.Insert(entries[i], static_cast<int>(i));

  int found = 0;
  for (int q = 0; q < 2000; ++q) {
    const PlacementKey query = key();
    int expected = -1;
    for (std::size_t i = 0; i < entries.size() && expected < 0; ++i) {
      if (Matches(entries[i], query)) expected = static_cast<int>(i);
    }
    ASSERT_EQ(index.FindFirst(query), expected) << "query " << q;
    found += expected >= 0;
  }
  EXPECT_GT(found, 100);
  EXPECT_LT(found, 2000);
}

}  // namespace
}  // namespace railfmt
