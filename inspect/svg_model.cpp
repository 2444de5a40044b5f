#include "inspect/svg_model.h"

#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace railfmt::inspect {
namespace {

void AddPartBounds(const CModellTeil& part, Box& box) {
  for (const CPunkt& p : part.Points) box.Add(p.X, p.Y);
}

std::string PointList(const std::vector<PixelPoint>& corners) {
  std::string list;
  for (const PixelPoint& c : corners) {
    if (!list.empty()) list += ' ';
    list += Num(c.x) + "," + Num(c.y);
  }
  return list;
}

// The name of a primitive of count vertices, counted into counts.
const char* PrimitiveClass(std::int32_t vertex_count, ShapeCounts& counts) {
  switch (vertex_count) {
    case 1: ++counts.singles; return "single";
    case 2: ++counts.lines; return "line";
    case 3: ++counts.triangles; return "triangle";
    case 4: ++counts.quads; return "quad";
    default: ++counts.polygons; return "polygon";
  }
}

std::string PrimitiveTitle(std::int32_t vertex_count, const std::string& part_name, std::size_t number,
                           const std::string& vertices, const Words& words) {
  const std::initializer_list<Field> fields = {{"part", part_name}, {"n", std::to_string(number)}, {"points", vertices}};
  switch (vertex_count) {
    case 1: return words.Say("{part}, single point {n}: point {points}", fields);
    case 2: return words.Say("{part}, line {n}: points {points}", fields);
    case 3: return words.Say("{part}, triangle {n}: points {points}", fields);
    case 4: return words.Say("{part}, quad {n}: points {points}", fields);
    default: return words.Say("{part}, polygon {n}: points {points}", fields);
  }
}

void DrawPart(const CModellTeil& part, std::size_t index, const Viewport& view, const std::string& prefix,
              const Words& words, SvgDocument& picture, ShapeCounts& counts) {
  ++counts.parts;
  const std::string part_name = prefix + words.Say("part {n}", {{"n", std::to_string(index + 1)}});
  std::vector<PixelPoint> pixels;
  pixels.reserve(part.Points.size());
  for (const CPunkt& p : part.Points) pixels.push_back(view.Map(p.X, p.Y));
  std::string group = "<g class=\"part\" data-part=\"" + std::to_string(index) + "\">";
  for (std::size_t n = 0; n < part.Primitives.size(); ++n) {
    const CPrimitiv& primitive = part.Primitives[n];
    const char* kind = PrimitiveClass(primitive.VertexCount, counts);
    std::vector<PixelPoint> corners;
    std::string vertices;
    for (std::int32_t k = 0; k < primitive.VertexCount; ++k) {
      const std::int16_t v = primitive.VertexAt(k);
      vertices += (k > 0 ? ", " : "") + std::to_string(v);
      if (v >= 0 && static_cast<std::size_t>(v) < pixels.size()) corners.push_back(pixels[static_cast<std::size_t>(v)]);
    }
    const std::string title =
        "<title>" + XmlText(PrimitiveTitle(primitive.VertexCount, part_name, n + 1, vertices, words)) + "</title>";
    const std::string cls = std::string("primitive ") + kind;
    if (primitive.VertexCount == 1) {
      const PixelPoint c = corners.empty() ? PixelPoint{} : corners.front();
      group += "<circle class=\"" + cls + "\" cx=\"" + Num(c.x) + "\" cy=\"" + Num(c.y) + "\" r=\"3.5\">" + title +
               "</circle>";
    } else if (primitive.VertexCount == 2) {
      corners.resize(2, corners.empty() ? PixelPoint{} : corners.front());
      group += "<line class=\"" + cls + "\" x1=\"" + Num(corners[0].x) + "\" y1=\"" + Num(corners[0].y) + "\" x2=\"" +
               Num(corners[1].x) + "\" y2=\"" + Num(corners[1].y) + "\">" + title + "</line>";
    } else {
      group += "<polygon class=\"" + cls + "\" points=\"" + PointList(corners) + "\">" + title + "</polygon>";
    }
  }
  for (std::size_t n = 0; n < pixels.size(); ++n) {
    ++counts.points;
    const CPunkt& p = part.Points[n];
    const std::string title = words.Say("{part}, point {n}: ({x}, {y}, {z}), code {code}",
                                        {{"part", part_name},
                                         {"n", std::to_string(n)},
                                         {"x", std::to_string(p.X)},
                                         {"y", std::to_string(p.Y)},
                                         {"z", std::to_string(p.Z)},
                                         {"code", std::to_string(p.Code)}});
    group += "<circle class=\"point\" cx=\"" + Num(pixels[n].x) + "\" cy=\"" + Num(pixels[n].y) +
             "\" r=\"1.8\"><title>" + XmlText(title) + "</title></circle>";
  }
  picture.Add(group + "</g>");
}

CarriedList LineList(const std::vector<CLinie>& lines, std::string heading, const Words& words) {
  CarriedList list{std::move(heading), {words.Say("No.")}, {}};
  for (int v = 1; v <= 4; ++v) list.columns.push_back(words.Say("Value {n} (hex)", {{"n", std::to_string(v)}}));
  list.columns.push_back(words.Say("8-byte block (hex)"));
  for (std::size_t n = 0; n < lines.size(); ++n) {
    std::vector<std::string> row = {std::to_string(n + 1)};
    for (const std::uint32_t value : lines[n].Values) {
      char hex[16];
      std::snprintf(hex, sizeof hex, "%08" PRIX32, value);
      row.push_back(hex);
    }
    std::string block;
    for (const std::uint8_t b : lines[n].Extra) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%02X", b);
      if (!block.empty()) block += ' ';
      block += hex;
    }
    row.push_back(block);
    list.rows.push_back(std::move(row));
  }
  return list;
}

}  // namespace

ShapeCounts& ShapeCounts::operator+=(const ShapeCounts& o) {
  parts += o.parts;
  points += o.points;
  singles += o.singles;
  lines += o.lines;
  triangles += o.triangles;
  quads += o.quads;
  polygons += o.polygons;
  return *this;
}

Box ModelBox(const CModell& model) {
  Box box;
  for (const CModellTeil& part : model.Elements) AddPartBounds(part, box);
  return box;
}

Box DrawingBox(const CKonstruktion& drawing) {
  Box box;
  AddPartBounds(drawing, box);
  return box;
}

ShapeCounts DrawModel(const CModell& model, const Viewport& view, const std::string& prefix, const Words& words,
                      SvgDocument& picture) {
  ShapeCounts counts;
  for (std::size_t i = 0; i < model.Elements.size(); ++i) {
    DrawPart(model.Elements[i], i, view, prefix, words, picture, counts);
  }
  return counts;
}

ShapeCounts DrawConstruction(const CKonstruktion& drawing, const Viewport& view, const Words& words,
                             SvgDocument& picture) {
  ShapeCounts counts;
  DrawPart(drawing, 0, view, "", words, picture, counts);
  return counts;
}

std::vector<LegendItem> ShapeLegend(const ShapeCounts& c, const Words& words) {
  const auto count = [&words](int n) { return Field{"n", words.Number(n)}; };
  // Points always; the kinds of primitive the picture has.
  std::vector<LegendItem> items = {{"<circle class=\"point\" r=\"2.5\"/>", words.Say("Point: {n}", {count(c.points)})}};
  const struct {
    int n;
    const char* symbol;
    std::string text;
  } kinds[] = {
      {c.singles, "<circle class=\"primitive single\" r=\"3.5\"/>", words.Say("Single point: {n}", {count(c.singles)})},
      {c.lines, "<line class=\"primitive line\" x1=\"-10\" y1=\"4\" x2=\"10\" y2=\"-4\"/>",
       words.Say("Line: {n}", {count(c.lines)})},
      {c.triangles, "<polygon class=\"primitive triangle\" points=\"-9,6 9,6 0,-6\"/>",
       words.Say("Triangle: {n}", {count(c.triangles)})},
      {c.quads, "<polygon class=\"primitive quad\" points=\"-9,6 9,6 9,-6 -9,-6\"/>",
       words.Say("Quad: {n}", {count(c.quads)})},
      {c.polygons, "<polygon class=\"primitive polygon\" points=\"-10,2 -4,7 8,5 10,-3 0,-7\"/>",
       words.Say("Polygon: {n}", {count(c.polygons)})},
  };
  for (const auto& kind : kinds) {
    if (kind.n > 0) items.push_back({kind.symbol, kind.text});
  }
  return items;
}

std::vector<CarriedList> DrawingLineLists(const CKonstruktion& drawing, const Words& words) {
  std::vector<CarriedList> lists;
  const struct {
    const std::vector<CLinie>* lines;
    std::string heading;
  } kinds[] = {
      {&drawing.DashedLines, words.SayN("{n} dashed line, carried unchanged (not drawn: the format gives its values no meaning)",
                                        "{n} dashed lines, carried unchanged (not drawn: the format gives their values no meaning)",
                                        static_cast<std::int64_t>(drawing.DashedLines.size()))},
      {&drawing.Lines, words.SayN("{n} plain line, carried unchanged (not drawn: the format gives its values no meaning)",
                                  "{n} plain lines, carried unchanged (not drawn: the format gives their values no meaning)",
                                  static_cast<std::int64_t>(drawing.Lines.size()))},
      {&drawing.DimensionLines,
       words.SayN("{n} dimension line, carried unchanged (not drawn: the format gives its values no meaning)",
                  "{n} dimension lines, carried unchanged (not drawn: the format gives their values no meaning)",
                  static_cast<std::int64_t>(drawing.DimensionLines.size()))},
  };
  for (const auto& kind : kinds) {
    if (!kind.lines->empty()) lists.push_back(LineList(*kind.lines, kind.heading, words));
  }
  return lists;
}

}  // namespace railfmt::inspect
