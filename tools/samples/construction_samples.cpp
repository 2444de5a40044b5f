#include "tools/samples/construction_samples.h"

#include <cstdint>
#include <string>

#include "construction/construction_drawing.h"

namespace railfmt {
namespace {

std::vector<CPunkt> DrawingPoints(int n) {
  std::vector<CPunkt> points;
  for (int i = 0; i < n; ++i) {
    CPunkt p;
    p.X = 100 * (i % 4);
    p.Y = 100 * (i / 4);
    p.Z = 0;
    p.ByteA = static_cast<std::uint8_t>(i);
    p.Code = i == 0 ? 99 : 0;
    p.CodeValue = i == 0 ? 3.0f : 0.0f;
    points.push_back(p);
  }
  return points;
}

std::vector<CFormat> DrawingFormats(int n) {
  std::vector<CFormat> formats;
  for (int i = 0; i < n; ++i) {
    CFormat f;
    f.Values = {static_cast<std::uint32_t>(i), 0x00FF00FFu, 1u};
    f.Doubles = {0.25 * i, 1.0, -1.0};
    f.Factors = {1.0f, 0.5f, 2.0f};
    formats.push_back(f);
  }
  return formats;
}

std::vector<CLinie> DrawingLines(int n, std::uint32_t kind) {
  std::vector<CLinie> lines;
  for (int i = 0; i < n; ++i) {
    CLinie line;
    line.Values = {kind, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(10 * i), 0x3F800000u};
    line.Extra = {1, 2, 3, 4, static_cast<std::uint8_t>(i), 0, 0, 0x80};
    lines.push_back(line);
  }
  return lines;
}

void AddDrawing(std::vector<SampleFile>& samples, const std::string& name, const CKonstruktion& drawing) {
  ByteWriter out;
  EncodeConstructionDrawing(drawing, out);
  samples.push_back({name, out.Take()});
}

// A drawing with every list filled, a polygon of six vertices included.
CKonstruktion SampleDrawing() {
  CKonstruktion drawing;
  drawing.SetPoints(DrawingPoints(8));
  drawing.SetPrimitives({MakePrimitive({0}), MakePrimitive({0, 1}), MakePrimitive({1, 2, 3}),
                         MakePrimitive({4, 5, 6, 7}), MakePrimitive({0, 1, 2, 3, 7, 6})});
  drawing.SetFormats(DrawingFormats(3));
  drawing.SetDashedLines(DrawingLines(2, 1));
  drawing.SetLines(DrawingLines(3, 2));
  drawing.SetDimensionLines(DrawingLines(2, 3));
  return drawing;
}

}  // namespace

void AddConstructionSamples(std::vector<SampleFile>& samples) {
  AddDrawing(samples, "drawing_empty.kon", CKonstruktion());

  CKonstruktion points;
  points.SetPoints(DrawingPoints(4));
  points.SetPrimitives({MakePrimitive({0, 1}), MakePrimitive({1, 2}), MakePrimitive({0, 2, 3})});
  AddDrawing(samples, "drawing_points.kon", points);

  CKonstruktion formats;
  formats.SetFormats(DrawingFormats(2));
  AddDrawing(samples, "drawing_formats.kon", formats);

  CKonstruktion dashed;
  dashed.SetDashedLines(DrawingLines(3, 1));
  AddDrawing(samples, "drawing_dashed.kon", dashed);

  CKonstruktion plain;
  plain.SetLines(DrawingLines(1, 2));
  AddDrawing(samples, "drawing_lines.kon", plain);

  CKonstruktion dimension;
  dimension.SetDimensionLines(DrawingLines(2, 3));
  AddDrawing(samples, "drawing_dimensions.kon", dimension);

  AddDrawing(samples, "drawing_full.kon", SampleDrawing());
}

}  // namespace railfmt
