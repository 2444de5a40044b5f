// Each file kind's reader and writer over bytes in memory, as the round-trip
// properties use them (the test suite and the fuzz targets): the bytes are
// read as that kind, and when the reader accepts them, what it read is
// written back to bytes. Nothing touches the file system; the readers'
// mismatch lines and messages go out as usual.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "driver/file_kind.h"

namespace railfmt {

struct KindRewriter {
  EntryKind kind;
  // The writer's output for what the reader accepted; nullopt when the
  // reader rejects the bytes.
  std::optional<std::vector<std::uint8_t>> (*rewrite)(std::span<const std::uint8_t> bytes);
  // Whether the rewrite of input, output, may change again when rewritten;
  // null for kinds whose rewrite is always a fixed point. Layouts may take
  // a few rewrites to settle, by the format's own placement rules:
  // - Placement copies a track's direction, NaN included, into its bridge
  //   or buffer stop, and the link rule counts a NaN as equal to anything:
  //   on the next read such a model links to the first track at its
  //   position, which may be an earlier one.
  // - Tracks and models numbered 0 take part in linking (a later model
  //   replaces an earlier one's link) but are not written: the next read
  //   links without them.
  bool (*may_settle_later)(std::span<const std::uint8_t> input, std::span<const std::uint8_t> output);
};

// The kinds in cascade order.
const std::vector<KindRewriter>& KindRewriters();

// The rewriter of one kind; nullptr when the library has no such kind.
const KindRewriter* FindKindRewriter(EntryKind kind);

// Rewrites after the second that an output for which may_settle_later holds
// may take to reach its fixed point.
inline constexpr int kMaxSettlingRewrites = 3;

// The round-trip property for one input: whatever the reader accepts, the
// writer's output is accepted by the same reader, and rewriting that gives
// the same bytes; where may_settle_later holds, every further rewrite is
// accepted and a fixed point is reached within kMaxSettlingRewrites more.
// Returns what failed, or "" when the property holds; accepted tells
// whether the reader accepted the input.
std::string CheckRewriteIsStable(const KindRewriter& kind, std::span<const std::uint8_t> input, bool* accepted);

}  // namespace railfmt
