// Model samples and the value builders they (and the tests) are made from.
#pragma once

#include <cstdint>
#include <vector>

#include "archive/model.h"
#include "tools/samples/sample_files.h"

namespace railfmt {

// A point at (x, y, z) with every other field zero.
CPunkt SamplePoint(std::int32_t x, std::int32_t y, std::int32_t z);

// One index object as it stands in a primitive block.
struct IndexObjectValues {
  std::int32_t value;
  std::int32_t marker;
};
// A vertex object and a mode marker (code,1).
inline IndexObjectValues VertexObject(std::int32_t index) { return {index, 0}; }
inline IndexObjectValues ModeMarker(std::int32_t code) { return {code, 1}; }

// A model stream whose part i carries blocks[i] as its primitive list,
// object for object, whatever the parts' Primitives say; the class tags
// follow from the block lengths. The writer of the library always writes
// the canonical order; this one also writes streams another program may
// have written.
std::vector<std::uint8_t> EncodeModelWithBlocks(const CModell& model,
                                                const std::vector<std::vector<IndexObjectValues>>& blocks);

// Appends the model samples: the empty model, a one-point model, models of
// several parts with every primitive kind and empty lists, and a model with
// a non-canonical primitive order stored as "reordered.bak".
void AddModelSamples(std::vector<SampleFile>& samples);

}  // namespace railfmt
