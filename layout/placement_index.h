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
// look-up take expected constant time.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <unordered_map>

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
  explicit PlacementIndex(unsigned query_patterns) : query_patterns_(query_patterns) {}

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
  struct BucketHash {
    std::size_t operator()(const Bucket& b) const;
  };
  static Bucket MakeBucket(const PlacementKey& key, unsigned entry_pattern, unsigned compared);

  unsigned query_patterns_;
  unsigned entry_patterns_ = 0;
  std::unordered_map<Bucket, int, BucketHash> buckets_;
};

}  // namespace railfmt
