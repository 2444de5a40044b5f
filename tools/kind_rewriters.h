// Each file kind's reader and writer over bytes in memory, as the round-trip
// properties use them (the test suite and the fuzz targets): the bytes are
// read as that kind, and when the reader accepts them, what it read is
// written back to bytes. Nothing touches the file system; the readers'
// mismatch lines and messages go out as usual.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "driver/file_kind.h"

namespace railfmt {

struct KindRewriter {
  EntryKind kind;
  // The writer's output for what the reader accepted; nullopt when the
  // reader rejects the bytes.
  std::optional<std::vector<std::uint8_t>> (*rewrite)(std::span<const std::uint8_t> bytes);
};

// The kinds in cascade order.
const std::vector<KindRewriter>& KindRewriters();

// The rewriter of one kind; nullptr when the library has no such kind.
const KindRewriter* FindKindRewriter(EntryKind kind);

}  // namespace railfmt
