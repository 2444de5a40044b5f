#include "layout/placement_index.h"

#include <bit>
#include <cmath>
#include <functional>

namespace railfmt {
namespace {

constexpr unsigned kAllPatterns = 8;

std::uint64_t Mix(std::uint64_t h, std::uint64_t v) {
  h = (h ^ v) * 0x9E3779B97F4A7C15ull;
  return h ^ (h >> 32);
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

PlacementIndex::PlacementIndex(unsigned query_patterns, std::size_t expected_entries)
    : query_patterns_(query_patterns) {
  const std::size_t per_entry = static_cast<std::size_t>(std::popcount(query_patterns & 0xFFu));
  const std::size_t expected = expected_entries * per_entry;
  buckets_.reserve(expected);
  slots_.resize(std::bit_ceil(2 * expected + 16));
}

std::uint64_t PlacementIndex::Hash(const Bucket& b) {
  std::uint64_t h = Mix(b.entry_pattern, b.compared);
  h = Mix(h,
          (std::uint64_t{static_cast<std::uint32_t>(b.position[0])} << 32) | static_cast<std::uint32_t>(b.position[1]));
  h = Mix(h, (std::uint64_t{static_cast<std::uint32_t>(b.position[2])} << 32) | b.direction[0]);
  h = Mix(h, (std::uint64_t{b.direction[1]} << 32) | b.direction[2]);
  if (!b.name.empty()) h = Mix(h, std::hash<std::string_view>{}(b.name));
  return h;
}

PlacementIndex::Bucket PlacementIndex::MakeBucket(const PlacementKey& key, unsigned entry_pattern, unsigned compared) {
  Bucket b{static_cast<std::uint8_t>(entry_pattern), static_cast<std::uint8_t>(compared), key.position, key.name, {}};
  for (unsigned i = 0; i < 3; ++i) {
    if ((compared & (1u << i)) != 0) b.direction[i] = ValueBits(key.direction[i]);
  }
  return b;
}

std::size_t PlacementIndex::Probe(const Bucket& b, std::uint64_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = static_cast<std::size_t>(hash) & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.bucket == 0) return i;
    if (slot.hash == hash && buckets_[slot.bucket - 1].first == b) return i;
  }
}

void PlacementIndex::Grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.size() * 2, Slot{});
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.bucket == 0) continue;
    std::size_t i = static_cast<std::size_t>(slot.hash) & mask;
    while (slots_[i].bucket != 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

void PlacementIndex::Insert(const PlacementKey& key, int index) {
  const unsigned entry = NanPattern(key.direction);
  entry_patterns_ |= 1u << entry;
  for (unsigned query = 0; query < kAllPatterns; ++query) {
    if ((query_patterns_ & (1u << query)) == 0) continue;
    if (2 * (buckets_.size() + 1) > slots_.size()) Grow();
    const Bucket b = MakeBucket(key, entry, ~(entry | query) & 7u);
    const std::uint64_t hash = Hash(b);
    Slot& slot = slots_[Probe(b, hash)];
    if (slot.bucket != 0) continue;  // an earlier entry holds this key
    buckets_.emplace_back(b, index);
    slot = Slot{hash, static_cast<std::uint32_t>(buckets_.size())};
  }
}

int PlacementIndex::FindFirst(const PlacementKey& key) const {
  const unsigned query = NanPattern(key.direction);
  int first = -1;
  for (unsigned entry = 0; entry < kAllPatterns; ++entry) {
    if ((entry_patterns_ & (1u << entry)) == 0) continue;
    const Bucket b = MakeBucket(key, entry, ~(entry | query) & 7u);
    const Slot& slot = slots_[Probe(b, Hash(b))];
    if (slot.bucket == 0) continue;
    const int found = buckets_[slot.bucket - 1].second;
    if (first < 0 || found < first) first = found;
  }
  return first;
}

}  // namespace railfmt
