#include "layout/placement_index.h"

#include <bit>
#include <cmath>
#include <functional>

namespace railfmt {
namespace {

constexpr unsigned kAllPatterns = 8;

std::uint64_t Mix(std::uint64_t h, std::uint64_t v) {
  h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
  h ^= h >> 31;
  h *= 0xBF58476D1CE4E5B9ull;
  return h ^ (h >> 29);
}

// The bits of a float compared by value: -0.0 turns into +0.0.
std::uint32_t ValueBits(float v) { return v == 0.0f ? 0u : std::bit_cast<std::uint32_t>(v); }

}  // namespace

unsigned NanPattern(const std::array<float, 3>& direction) {
  unsigned pattern = 0;
  for (unsigned i = 0; i < 3; ++i) {
    if (std::isnan(direction[i])) pattern |= 1u << i;
  }
  return pattern;
}

std::size_t PlacementIndex::BucketHash::operator()(const Bucket& b) const {
  std::uint64_t h = Mix(b.entry_pattern, b.compared);
  for (std::int32_t v : b.position) h = Mix(h, static_cast<std::uint32_t>(v));
  for (std::uint32_t v : b.direction) h = Mix(h, v);
  return static_cast<std::size_t>(Mix(h, std::hash<std::string_view>{}(b.name)));
}

PlacementIndex::Bucket PlacementIndex::MakeBucket(const PlacementKey& key, unsigned entry_pattern,
                                                  unsigned compared) {
  Bucket b{static_cast<std::uint8_t>(entry_pattern), static_cast<std::uint8_t>(compared), key.position, key.name, {}};
  for (unsigned i = 0; i < 3; ++i) {
    if ((compared & (1u << i)) != 0) b.direction[i] = ValueBits(key.direction[i]);
  }
  return b;
}

void PlacementIndex::Insert(const PlacementKey& key, int index) {
  const unsigned entry = NanPattern(key.direction);
  entry_patterns_ |= 1u << entry;
  for (unsigned query = 0; query < kAllPatterns; ++query) {
    if ((query_patterns_ & (1u << query)) == 0) continue;
    buckets_.try_emplace(MakeBucket(key, entry, ~(entry | query) & 7u), index);
  }
}

int PlacementIndex::FindFirst(const PlacementKey& key) const {
  const unsigned query = NanPattern(key.direction);
  int first = -1;
  for (unsigned entry = 0; entry < kAllPatterns; ++entry) {
    if ((entry_patterns_ & (1u << entry)) == 0) continue;
    const auto found = buckets_.find(MakeBucket(key, entry, ~(entry | query) & 7u));
    if (found != buckets_.end() && (first < 0 || found->second < first)) first = found->second;
  }
  return first;
}

}  // namespace railfmt
