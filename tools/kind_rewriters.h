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
  // Whether a rewrite's output may change once more when rewritten; null
  // when it never does. Layouts: a placed model whose direction holds a NaN.
  // Placement copies a track's direction, NaN included, into its bridge or
  // buffer stop, and the link rule counts a NaN as equal to anything; on the
  // next read that model links to the first track at its position, which
  // may be an earlier one. The next rewrite settles it.
  bool (*may_settle_later)(std::span<const std::uint8_t> output);
};

// The kinds in cascade order.
const std::vector<KindRewriter>& KindRewriters();

// The rewriter of one kind; nullptr when the library has no such kind.
const KindRewriter* FindKindRewriter(EntryKind kind);

// The round-trip property for one input: whatever the reader accepts, the
// writer's output is accepted by the same reader, and rewriting that gives
// the same bytes (where may_settle_later holds for the output: the second
// rewrite's output then rewrites to itself). Returns what failed, or ""
// when the property holds; accepted tells whether the reader accepted the
// input.
std::string CheckRewriteIsStable(const KindRewriter& kind, std::span<const std::uint8_t> input, bool* accepted);

}  // namespace railfmt
