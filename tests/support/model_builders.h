// Models, parts and index blocks from values, for the kinds that hold models.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <variant>
#include <vector>

#include "archive/model.h"
#include "driver/normalisation.h"
#include "tools/samples/model_samples.h"

namespace railfmt::testing {

using Bytes = std::vector<std::uint8_t>;
// The bytes write puts into a fresh writer.
inline Bytes Written(const std::function<void(ByteWriter&)>& write) {
  ByteWriter out;
  write(out);
  return out.Take();
}
using IndexObj = IndexObjectValues;
inline IndexObj V(std::int32_t index) { return VertexObject(index); }
inline IndexObj M(std::int32_t code) { return ModeMarker(code); }
inline std::vector<IndexObj> EmptyBlock() { return {M(0), M(1), M(4), M(7), M(9), M(9)}; }
inline CFormat FormatOf(std::uint32_t seed) {
  return {{seed, seed + 10, seed + 20}, {seed * 0.5, -1.0, 1e-300}, {0.0f, 1.5f, -2.0f}};
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
  model.Format = {{7, 0xFFFFFFFFu, 9}, {87.0, -0.5, 3.25}};
  model.SetElements(std::move(parts));
  return model;
}
// Part 0: two points, a single point and a line (9 index objects), two
// formats; part 1: one point, no primitives, one format. Tags 0x8009, 0x801B.
inline CModell TwoPartModel() {
  return ModelOf({PartOf({SamplePoint(1, 2, 3), SamplePoint(-4, 5, -6)}, {MakePrimitive({0}), MakePrimitive({0, 1})},
                         {FormatOf(1), FormatOf(2)}),
                  PartOf({SamplePoint(100, 200, 300)}, {}, {FormatOf(3)})});
}

// The parts and header of two models, without tags and flags.
inline void ExpectSameContent(const CModell& a, const CModell& b) {
  EXPECT_EQ(a.Format.Values, b.Format.Values);
  EXPECT_EQ(a.Format.Doubles, b.Format.Doubles);
  EXPECT_EQ(a.ElementCount, b.ElementCount);
  EXPECT_EQ(a.Elements, b.Elements);
}

// The numbers each change of a normalisation names, change by change.
inline std::vector<std::vector<std::int64_t>> ChangedNumbers(const Normalisation& changes) {
  std::vector<std::vector<std::int64_t>> numbers;
  for (const Change& change : changes.changes()) {
    std::vector<std::int64_t>& named = numbers.emplace_back();
    for (const ChangeField& field : change.fields) named.push_back(std::get<std::int64_t>(field.value));
  }
  return numbers;
}

}  // namespace railfmt::testing
