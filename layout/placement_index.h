// PlacementIndex: finds, among inserted entries, the first one that matches
// a query under the layout's placement equality: equal integer position,
// equal name, and direction components equal as values where neither side
// is NaN (+0.0 equals -0.0).
//
// That equality is not transitive (NaN matches everything), so entries are
// hashed once per NaN pattern a query may have: an entry with NaN pattern E
// is stored, for every query pattern Q in use, under the components that
// neither E nor Q marks as NaN. A query with pattern Q looks up one key per
// entry pattern in use. With at most eight patterns each side, insertion and
// look-up take expected constant time. The table is open-addressed: a flat
// array of hashes and entry numbers, probed linearly, with the keys kept
// densely beside it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace railfmt {

struct PlacementKey {
  std::array<std::int32_t, 3> position{};
  std::string_view name;  // must outlive the index
  std::array<float, 3> direction{};
};

// Bit i set when component i of the direction is NaN.
unsigned NanPattern(const std::array<float, 3>& direction);

class PlacementIndex {
 public:
  // query_patterns: bit p set when queries with NaN pattern p will be made.
  // expected_entries sizes the table for that many Insert calls.
  PlacementIndex(unsigned query_patterns, std::size_t expected_entries);

  // Entries are inserted in increasing index order; an entry equal to an
  // earlier one (same pattern, same compared values) is not stored again.
  void Insert(const PlacementKey& key, int index);
  // The smallest index of an entry that matches the query, or -1.
  int FindFirst(const PlacementKey& query) const;

 private:
  struct Bucket {
    std::uint8_t entry_pattern;
    std::uint8_t compared;  // components that take part
    std::array<std::int32_t, 3> position;
    std::string_view name;
    std::array<std::uint32_t, 3> direction;  // bits of compared components, 0 elsewhere
    bool operator==(const Bucket&) const = default;
  };
  struct Slot {
    std::uint64_t hash = 0;
    std::uint32_t bucket = 0;  // 1 + position in buckets_, 0 when free
  };
  static Bucket MakeBucket(const PlacementKey& key, unsigned entry_pattern, unsigned compared);
  static std::uint64_t Hash(const Bucket& b);
  // The slot holding b, or the free slot where it belongs.
  std::size_t Probe(const Bucket& b, std::uint64_t hash) const;
  void Grow();

  unsigned query_patterns_;
  unsigned entry_patterns_ = 0;
  std::vector<Slot> slots_;  // a power of two, at most half full
  std::vector<std::pair<Bucket, int>> buckets_;
};

}  // namespace railfmt
