#include "tools/samples/model_samples.h"

#include <utility>

#include "archive/archive_format.h"
#include "archive/model_kind.h"

namespace railfmt {
namespace {

using archive::kArrayTag;
using archive::kPointTag;
using archive::TagPlus;
using archive::WriteClassIntroduction;

void WriteBlock(ByteWriter& out, const std::vector<IndexObjectValues>& block, std::uint16_t separator) {
  for (std::size_t i = 0; i < block.size(); ++i) {
    if (i > 0) out.U16(separator);
    out.I32(block[i].value);
    out.I32(block[i].marker);
  }
}

CFormat SampleFormat(std::uint32_t value, double scale) {
  CFormat format;
  format.Values = {value, value * 2, value * 3};
  format.Doubles = {scale, -scale, scale / 3.0};
  format.Factors = {0.5f, 2.0f, 1.0f};
  return format;
}

CModellTeil Part(std::vector<CPunkt> points, std::vector<CPrimitiv> primitives, std::vector<CFormat> formats) {
  CModellTeil part;
  part.SetPoints(std::move(points));
  part.SetPrimitives(std::move(primitives));
  part.SetFormats(std::move(formats));
  return part;
}

CModell Model(std::vector<CModellTeil> parts) {
  CModell model;
  model.Format.Doubles = {87.0, 1.0, 0.25};
  model.Format.Values = {1, 0, 42};
  model.SetElements(std::move(parts));
  return model;
}

// A box of eight corners: quads for the walls, triangles for the roof ends,
// lines for the ridge, and single points at two corners.
CModellTeil BoxPart() {
  std::vector<CPunkt> points = {SamplePoint(0, 0, 0),       SamplePoint(400, 0, 0),   SamplePoint(400, 200, 0),
                                SamplePoint(0, 200, 0),     SamplePoint(0, 0, 300),   SamplePoint(400, 0, 300),
                                SamplePoint(400, 200, 300), SamplePoint(0, 200, 300), SamplePoint(200, 100, 450)};
  points[8].Code = 99;
  points[8].CodeValue = 3.0f;
  return Part(std::move(points),
              {MakePrimitive({0}), MakePrimitive({6}), MakePrimitive({4, 8}), MakePrimitive({5, 8}),
               MakePrimitive({4, 5, 8}), MakePrimitive({6, 7, 8}), MakePrimitive({0, 1, 5, 4}),
               MakePrimitive({1, 2, 6, 5}), MakePrimitive({2, 3, 7, 6}), MakePrimitive({3, 0, 4, 7})},
              {SampleFormat(1, 1.0), SampleFormat(2, 0.5)});
}

// A ring of seven points closed into one polygon of seven and one of five.
CModellTeil PolygonPart() {
  std::vector<CPunkt> points;
  const std::int32_t xs[] = {100, 62, -22, -90, -90, -22, 62};
  const std::int32_t ys[] = {0, 78, 97, 43, -43, -97, -78};
  for (int i = 0; i < 7; ++i) points.push_back(SamplePoint(xs[i], ys[i], 10));
  return Part(std::move(points), {MakePrimitive({0, 1, 2, 3, 4, 5, 6}), MakePrimitive({0, 2, 3, 5, 6})},
              {SampleFormat(7, 2.5)});
}

CModellTeil EveryKindPart() {
  std::vector<CPunkt> points;
  for (int i = 0; i < 8; ++i) points.push_back(SamplePoint(i * 10, (i % 3) * 10, i));
  return Part(std::move(points),
              {MakePrimitive({7}), MakePrimitive({0, 1}), MakePrimitive({1, 2, 3}), MakePrimitive({0, 1, 2, 3}),
               MakePrimitive({0, 1, 2, 3, 4, 5}), MakePrimitive({3, 4, 5, 6, 7})},
              {});
}

}  // namespace

CPunkt SamplePoint(std::int32_t x, std::int32_t y, std::int32_t z) {
  CPunkt point;
  point.X = x;
  point.Y = y;
  point.Z = z;
  return point;
}

std::vector<std::uint8_t> EncodeModelWithBlocks(const CModell& model,
                                                const std::vector<std::vector<IndexObjectValues>>& blocks) {
  const std::vector<CModellTeil>& parts = model.Elements;
  const auto count = static_cast<std::int16_t>(parts.size());
  ByteWriter out;
  out.I16(count);
  out.U16(0);
  for (double value : model.Format.Doubles) out.Double(value);
  for (std::uint32_t value : model.Format.Values) out.U32(value);
  out.I16(count);
  if (parts.empty()) {
    out.U16(0);
    out.U16(0);
    return out.Take();
  }
  const std::uint16_t index_tag = IndexTagOf(parts);
  std::uint16_t format_tag = TagPlus(index_tag, 1);
  for (const auto& block : blocks) format_tag = archive::TagAfterList(format_tag, static_cast<int>(block.size()));

  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i == 0) {
      WriteClassIntroduction(out, archive::kArrayClass);
      out.I16(parts[i].PointCount);
      WriteClassIntroduction(out, archive::kPointClass);
    } else {
      out.U16(kArrayTag);
      out.I16(parts[i].PointCount);
      out.U16(kPointTag);
    }
    parts[i].WritePoints(out, kPointTag);
  }
  out.I16(count);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    out.U16(kArrayTag);
    out.I16(static_cast<std::int16_t>(blocks[i].size()));
    if (i == 0) {
      WriteClassIntroduction(out, archive::kIndexClass);
    } else {
      out.U16(index_tag);
    }
    WriteBlock(out, blocks[i], index_tag);
  }
  out.I16(count);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    out.U16(kArrayTag);
    out.I16(parts[i].FormatCount);
    if (i == 0) {
      WriteClassIntroduction(out, archive::kFormatClass);
    } else {
      out.U16(format_tag);
    }
    parts[i].WriteFormats(out, format_tag);
  }
  return out.Take();
}

void AddModelSamples(std::vector<SampleFile>& samples) {
  CModell empty;
  samples.push_back({"empty.mod", EncodeToBytes<ModelKind>(empty)});

  CModell one_point = Model({Part({SamplePoint(5, 6, 7)}, {MakePrimitive({0})}, {})});
  samples.push_back({"one_point.mod", EncodeToBytes<ModelKind>(one_point)});

  // Several parts, among them one whose three lists are all empty.
  CModell station = Model({BoxPart(), Part({}, {}, {}), PolygonPart()});
  samples.push_back({"station.mod", EncodeToBytes<ModelKind>(station)});

  CModell every_kind = Model({EveryKindPart()});
  samples.push_back({"every_kind.mod", EncodeToBytes<ModelKind>(every_kind)});

  // Primitives as another program may order them: a triangle and a quad in
  // the polygon section, objects after the final (9,1). railfmt writes it
  // back as reordered.mod in canonical order.
  CModell reordered = Model({EveryKindPart(), Part({SamplePoint(1, 1, 1), SamplePoint(2, 2, 2)}, {}, {})});
  const auto V = VertexObject;
  const auto M = ModeMarker;
  samples.push_back(
      {"reordered.bak",
       EncodeModelWithBlocks(reordered, {{M(0), V(7), M(1), V(0), V(1), M(4), M(7), M(9), V(1), V(2), V(3),
                                          M(9), V(0), V(1), V(2), V(3), V(4), V(5), M(9), V(3), V(4), V(5),
                                          V(6), V(7), M(9), V(0), V(1), V(2), V(3), M(9), M(9), V(6), M(0)},
                                         {M(0), V(1), V(0), M(1), M(4), M(7), M(9), M(9)}})});
}

}  // namespace railfmt
