#include <algorithm>
#include <utility>

#include "tools/make_corpus/corpus_makers.h"

namespace railfmt {
namespace {

std::uint32_t Bits(CorpusRandom& random) { return static_cast<std::uint32_t>(random.Next() >> 32); }
std::uint8_t Byte(CorpusRandom& random) { return static_cast<std::uint8_t>(random.Next() >> 56); }

CPunkt RandomPoint(CorpusRandom& random) {
  CPunkt p;
  p.X = static_cast<std::int32_t>(random.Between(-200000, 200000));
  p.Y = static_cast<std::int32_t>(random.Between(-200000, 200000));
  p.Z = static_cast<std::int32_t>(random.Between(0, 20000));
  p.Aux = Bits(random);
  for (std::uint32_t& q : p.Quad) q = Bits(random);
  p.ByteA = Byte(random);
  p.ByteB = Byte(random);
  p.ByteC = Byte(random);
  p.ByteD = Byte(random);
  p.Code = random.Percent(10) ? 99 : static_cast<std::int32_t>(random.Below(20));
  p.CodeValue = random.Real(-100.0f, 1000.0f);
  p.Aux2 = Bits(random);
  return p;
}

CFormat RandomFormat(CorpusRandom& random) {
  CFormat f;
  for (std::uint32_t& v : f.Values) v = Bits(random);
  for (double& d : f.Doubles) d = static_cast<double>(random.Real(-1000.0f, 1000.0f)) / 7.0;
  for (float& x : f.Factors) x = random.Real(0.1f, 4.0f);
  return f;
}

std::int16_t Vertex(CorpusRandom& random, int points) {
  return static_cast<std::int16_t>(random.Below(static_cast<std::uint64_t>(points)));
}

// Primitives in the writer's canonical order, so that what a reader makes
// of the written file equals the part built here.
std::vector<CPrimitiv> RandomPrimitives(CorpusRandom& random, int points) {
  std::vector<CPrimitiv> primitives;
  if (points <= 0) return primitives;
  const int sizes[] = {1, 2, 3, 4};
  const int shares[] = {50, 10, 4, 8};  // one primitive per that many points
  std::int16_t vertices[8];
  for (int k = 0; k < 4; ++k) {
    const int count = points / shares[k] + (random.Percent(50) ? 1 : 0);
    for (int i = 0; i < count; ++i) {
      for (int v = 0; v < sizes[k]; ++v) vertices[v] = Vertex(random, points);
      primitives.push_back(MakePrimitive(std::span<const std::int16_t>(vertices, static_cast<std::size_t>(sizes[k]))));
    }
  }
  const int polygons = points / 40 + (random.Percent(50) ? 1 : 0);
  for (int i = 0; i < polygons; ++i) {
    const auto n = static_cast<std::size_t>(random.Between(5, 8));
    for (std::size_t v = 0; v < n; ++v) vertices[v] = Vertex(random, points);
    primitives.push_back(MakePrimitive(std::span<const std::int16_t>(vertices, n)));
  }
  return primitives;
}

void FillPart(CorpusRandom& random, CModellTeil& part, int points) {
  std::vector<CPunkt> list;
  list.reserve(static_cast<std::size_t>(points));
  for (int i = 0; i < points; ++i) list.push_back(RandomPoint(random));
  part.SetPoints(std::move(list));
  part.SetPrimitives(RandomPrimitives(random, points));
  std::vector<CFormat> formats;
  const auto format_count = random.Between(1, 3);
  for (std::int64_t i = 0; i < format_count; ++i) formats.push_back(RandomFormat(random));
  part.SetFormats(std::move(formats));
}

std::vector<CLinie> RandomLines(CorpusRandom& random, int count) {
  std::vector<CLinie> lines(static_cast<std::size_t>(count));
  for (CLinie& line : lines) {
    for (std::uint32_t& v : line.Values) v = Bits(random);
    for (std::uint8_t& b : line.Extra) b = Byte(random);
  }
  return lines;
}

}  // namespace

CModell MakeCorpusModel(CorpusRandom& random, int parts, int points_per_part) {
  CModell model;
  model.Format = RandomFormat(random);
  model.Format.Factors = {1.0f, 1.0f, 1.0f};  // not stored: a read leaves them at 1
  std::vector<CModellTeil> elements(static_cast<std::size_t>(std::max(parts, 0)));
  const int points = std::clamp(points_per_part, 1, 19000);
  for (CModellTeil& part : elements) FillPart(random, part, points);
  model.SetElements(std::move(elements));
  return model;
}

CRollmaterial MakeCorpusRollingStock(CorpusRandom& random, const std::string& name, int points_per_part) {
  CRollmaterial record;
  for (std::size_t i = 0; i < record.Models.size(); ++i) {
    const bool empty = i == 0 && random.Percent(10);
    const int parts = empty ? 0 : static_cast<int>(random.Between(1, 4));
    record.Models[i] = MakeCorpusModel(random, parts, points_per_part);
  }
  CRollInfo& info = record.Info;
  for (std::uint32_t* v : {&info.Value1, &info.Value2, &info.Value3, &info.Value4, &info.Value5, &info.Value6,
                           &info.Value7, &info.Value8, &info.Value9}) {
    *v = Bits(random);
  }
  info.Name = name;
  return record;
}

CKonstruktion MakeCorpusDrawing(CorpusRandom& random, int points, int lines) {
  CKonstruktion drawing;
  if (points > 0) {
    FillPart(random, drawing, std::min(points, 19000));
  } else if (random.Percent(50)) {
    drawing.SetFormats({RandomFormat(random)});
  }
  const int dashed = lines > 0 ? static_cast<int>(random.Below(static_cast<std::uint64_t>(lines) + 1)) : 0;
  const int dimension =
      lines > dashed ? static_cast<int>(random.Below(static_cast<std::uint64_t>(lines - dashed) + 1)) : 0;
  drawing.SetDashedLines(RandomLines(random, dashed));
  drawing.SetLines(RandomLines(random, lines - dashed - dimension));
  drawing.SetDimensionLines(RandomLines(random, dimension));
  return drawing;
}

}  // namespace railfmt
