// Test builders for primitive index blocks, so a test reads like the
// format's own notation: M(0), V(3), V(4), M(1), ...
#pragma once

#include <vector>

#include "driver/byte_writer.h"
#include "tools/samples/model_samples.h"

namespace railfmt::testing {

using IndexObj = IndexObjectValues;
inline IndexObj V(std::int32_t index) { return VertexObject(index); }
inline IndexObj M(std::int32_t code) { return ModeMarker(code); }

// The objects with separator between each two, as a block stands in a stream.
inline std::vector<std::uint8_t> BlockBytes(const std::vector<IndexObj>& objects, std::uint16_t separator) {
  ByteWriter out;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    if (i > 0) out.U16(separator);
    out.I32(objects[i].value);
    out.I32(objects[i].marker);
  }
  return out.Take();
}

inline std::vector<IndexObj> EmptyBlock() { return {M(0), M(1), M(4), M(7), M(9), M(9)}; }

}  // namespace railfmt::testing
