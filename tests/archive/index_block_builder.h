// Test builders for primitive index blocks: a block from its objects, so a
// test reads like the format's own notation: M(0), V(3), V(4), M(1), ...
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "driver/byte_writer.h"

namespace railfmt::testing {

struct IndexObj {
  std::int32_t value;
  std::int32_t marker;
};

// A vertex object and a mode marker (code,1).
inline IndexObj V(std::int32_t index) { return {index, 0}; }
inline IndexObj M(std::int32_t code) { return {code, 1}; }

// The objects with separator between each two, as a block stands in a stream.
inline void AppendBlock(ByteWriter& out, const std::vector<IndexObj>& objects, std::uint16_t separator) {
  for (std::size_t i = 0; i < objects.size(); ++i) {
    if (i > 0) out.U16(separator);
    out.I32(objects[i].value);
    out.I32(objects[i].marker);
  }
}

inline std::vector<std::uint8_t> BlockBytes(const std::vector<IndexObj>& objects, std::uint16_t separator) {
  ByteWriter out;
  AppendBlock(out, objects, separator);
  return out.Take();
}

// The canonical block of a part without primitives.
inline std::vector<IndexObj> EmptyBlock() { return {M(0), M(1), M(4), M(7), M(9), M(9)}; }

}  // namespace railfmt::testing
