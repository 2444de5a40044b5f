// The round-trip property of every kind, as the tests and the fuzz targets
// check it on bytes in memory: whatever a kind's reader accepts is written
// back as the batch writes it (normalised, encoded), and that output is
// accepted again and rewrites to the same bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "driver/recognition_cascade.h"

namespace railfmt::testing {

// What the batch writes for an object of Kind: normalised, then encoded.
template <typename Kind>
std::vector<std::uint8_t> NormaliseAndEncode(typename Kind::Object& object) {
  Kind::Normalise(object);
  return EncodeToBytes<Kind>(object);
}

// What the batch would write for bytes recognised as kind: nothing when the
// kind's reader rejects them. The readers' reports go out as usual.
std::optional<std::vector<std::uint8_t>> Rewrite(EntryKind kind, std::span<const std::uint8_t> bytes);

// Whether a layout's rewrite may take more than one run to settle, by the
// format's own placement rules:
// - placement copies a track's direction, NaN included, into its bridge or
//   buffer stop, and the link rule counts a NaN as equal to anything: on the
//   next read such a model links to the first track at its position, which
//   may be an earlier one;
// - tracks and models numbered 0 take part in linking (a later model
//   replaces an earlier one's link) but are not written: the next read
//   links without them.
bool MaySettleLater(EntryKind kind, std::span<const std::uint8_t> input, std::span<const std::uint8_t> output);

// Rewrites after the second that an output for which MaySettleLater holds
// may take to reach its fixed point.
inline constexpr int kMaxSettlingRewrites = 3;

// The property for one input: whatever the reader accepts, the rewrite is
// accepted by the same reader, and rewriting that gives the same bytes;
// where MaySettleLater holds, every further rewrite is accepted and a fixed
// point is reached within kMaxSettlingRewrites more. Returns what failed, or
// "" when the property holds; accepted tells whether the reader accepted the
// input.
std::string CheckRewriteIsStable(EntryKind kind, std::span<const std::uint8_t> input, bool* accepted);

}  // namespace railfmt::testing
