// Models the model tests share, built from values.
#pragma once

#include <vector>

#include "archive/model.h"
#include "tools/samples/model_samples.h"

namespace railfmt::testing {

inline CFormat FormatOf(std::uint32_t seed) {
  CFormat format;
  format.Values = {seed, seed + 10, seed + 20};
  format.Doubles = {seed * 0.5, -1.0, 1e-300};
  format.Factors = {0.0f, 1.5f, -2.0f};
  return format;
}

inline CModellTeil PartOf(std::vector<CPunkt> points, std::vector<CPrimitiv> primitives, std::vector<CFormat> formats) {
  CModellTeil part;
  part.SetPoints(std::move(points));
  part.SetPrimitives(std::move(primitives));
  part.SetFormats(std::move(formats));
  return part;
}

inline CModell ModelOf(std::vector<CModellTeil> parts) {
  CModell model;
  model.Format.Doubles = {87.0, -0.5, 3.25};
  model.Format.Values = {7, 0xFFFFFFFFu, 9};
  model.SetElements(std::move(parts));
  return model;
}

// Two parts: part 0 with two points, a single point and a line (9 index
// objects) and two formats; part 1 with one point, no primitives (6 index
// objects) and one format. IndexTag 0x8009, FormatTag 0x801B; 569 bytes as
// a first model, 520 as a later one.
inline CModell TwoPartModel() {
  return ModelOf({PartOf({SamplePoint(1, 2, 3), SamplePoint(-4, 5, -6)}, {MakePrimitive({0}), MakePrimitive({0, 1})},
                         {FormatOf(1), FormatOf(2)}),
                  PartOf({SamplePoint(100, 200, 300)}, {}, {FormatOf(3)})});
}

}  // namespace railfmt::testing
