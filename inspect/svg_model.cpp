#include "inspect/svg_model.h"

#include <cmath>
#include <cstdint>

namespace railfmt::inspect {
namespace {

// A drawing line's ends: its values taken as signed coordinates.
struct LineEnds {
  double x0, y0, x1, y1;
};

LineEnds EndsOf(const CLinie& line) {
  const auto v = [&line](std::size_t i) { return static_cast<double>(static_cast<std::int32_t>(line.Values[i])); };
  return {v(0), v(1), v(2), v(3)};
}

void AddPartBounds(const CModellTeil& part, Box& box) {
  for (const CPunkt& p : part.Points) box.Add(p.X, p.Y);
}

const char* PrimitiveKind(std::int32_t vertex_count, ShapeCounts& counts) {
  switch (vertex_count) {
    case 1: ++counts.singles; return "single";
    case 2: ++counts.lines; return "line";
    case 3: ++counts.triangles; return "triangle";
    case 4: ++counts.quads; return "quad";
    default: ++counts.polygons; return "polygon";
  }
}

std::string PointList(const std::vector<PixelPoint>& corners) {
  std::string list;
  for (const PixelPoint& c : corners) {
    if (!list.empty()) list += ' ';
    list += Num(c.x) + "," + Num(c.y);
  }
  return list;
}

void DrawPart(const CModellTeil& part, std::size_t index, const Viewport& view, const std::string& prefix,
              SvgDocument& picture, ShapeCounts& counts) {
  ++counts.parts;
  const std::string part_name = prefix + "part " + std::to_string(index + 1);
  std::vector<PixelPoint> pixels;
  pixels.reserve(part.Points.size());
  for (const CPunkt& p : part.Points) pixels.push_back(view.Map(p.X, p.Y));
  std::string group = "<g class=\"part\" data-part=\"" + std::to_string(index) + "\">";
  for (std::size_t n = 0; n < part.Primitives.size(); ++n) {
    const CPrimitiv& primitive = part.Primitives[n];
    const char* kind = PrimitiveKind(primitive.VertexCount, counts);
    std::vector<PixelPoint> corners;
    std::string vertices;
    for (std::int32_t k = 0; k < primitive.VertexCount; ++k) {
      const std::int16_t v = primitive.VertexAt(k);
      vertices += (k > 0 ? ", " : "") + std::to_string(v);
      if (v >= 0 && static_cast<std::size_t>(v) < pixels.size()) corners.push_back(pixels[static_cast<std::size_t>(v)]);
    }
    const std::string title = "<title>" + part_name + ", " + kind + " " + std::to_string(n + 1) + ": point" +
                              (primitive.VertexCount == 1 ? " " : "s ") + vertices + "</title>";
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
    group += "<circle class=\"point\" cx=\"" + Num(pixels[n].x) + "\" cy=\"" + Num(pixels[n].y) +
             "\" r=\"1.8\"><title>" + part_name + ", point " + std::to_string(n) + ": (" + std::to_string(p.X) + ", " +
             std::to_string(p.Y) + ", " + std::to_string(p.Z) + "), code " + std::to_string(p.Code) +
             "</title></circle>";
  }
  picture.Add(group + "</g>");
}

std::string DrawLines(const std::vector<CLinie>& lines, const char* kind, const Viewport& view, LabelSpace* space,
                      std::string& labels) {
  std::string out;
  const bool dimension = space != nullptr;
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const LineEnds e = EndsOf(lines[n]);
    const PixelPoint a = view.Map(e.x0, e.y0);
    const PixelPoint b = view.Map(e.x1, e.y1);
    const double length = std::hypot(e.x1 - e.x0, e.y1 - e.y0);
    out += "<line class=\"drawing-line " + std::string(kind) + "\" x1=\"" + Num(a.x) + "\" y1=\"" + Num(a.y) +
           "\" x2=\"" + Num(b.x) + "\" y2=\"" + Num(b.y) + "\"" +
           (dimension ? " marker-start=\"url(#arrow)\" marker-end=\"url(#arrow)\"" : "") + "><title>" +
           (dimension        ? "Dimension"
            : kind[0] == 'd' ? "Dashed"
                             : "Plain") +
           " line " + std::to_string(n + 1) + ": from (" + Units(e.x0) + ", " + Units(e.y0) + ") to (" + Units(e.x1) +
           ", " + Units(e.y1) + "), length " + Units(std::round(length)) + "</title></line>";
    if (!dimension) continue;
    // The length stands beside the middle of the line, on either side.
    const std::string text = Units(std::round(length));
    const double width = TextWidth(text, 11) + 2, height = 13;
    const double dx = b.x - a.x, dy = b.y - a.y, pixels = std::hypot(dx, dy);
    const double nx = pixels > 0 ? -dy / pixels : 0, ny = pixels > 0 ? dx / pixels : -1;
    const double reach = 3 + (std::abs(nx) * width + std::abs(ny) * height) / 2;
    const double mx = (a.x + b.x) / 2, my = (a.y + b.y) / 2;
    const Rect places[] = {CentredRect(mx + reach * nx, my + reach * ny, width, height),
                           CentredRect(mx - reach * nx, my - reach * ny, width, height)};
    if (const std::optional<Rect> at = space->TakeFirstFree(places)) {
      labels += "<text class=\"label dimension-text\" x=\"" + Num(at->x + at->width / 2) + "\" y=\"" +
                Num(at->y + at->height / 2) + "\">" + text + "</text>";
    }
  }
  return out;
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
  dashed_lines += o.dashed_lines;
  plain_lines += o.plain_lines;
  dimension_lines += o.dimension_lines;
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
  for (const std::vector<CLinie>* lines : {&drawing.DashedLines, &drawing.Lines, &drawing.DimensionLines}) {
    for (const CLinie& line : *lines) {
      const LineEnds e = EndsOf(line);
      box.Add(e.x0, e.y0);
      box.Add(e.x1, e.y1);
    }
  }
  return box;
}

ShapeCounts DrawModel(const CModell& model, const Viewport& view, const std::string& prefix, SvgDocument& picture) {
  ShapeCounts counts;
  for (std::size_t i = 0; i < model.Elements.size(); ++i) DrawPart(model.Elements[i], i, view, prefix, picture, counts);
  return counts;
}

ShapeCounts DrawConstruction(const CKonstruktion& drawing, const Viewport& view, LabelSpace& space,
                             SvgDocument& picture) {
  ShapeCounts counts;
  DrawPart(drawing, 0, view, "", picture, counts);
  std::string labels;
  std::string none;
  picture.Add("<g class=\"drawing-lines\">" + DrawLines(drawing.DashedLines, "dashed", view, nullptr, none) +
              DrawLines(drawing.Lines, "plain", view, nullptr, none) +
              DrawLines(drawing.DimensionLines, "dimension", view, &space, labels) + "</g>");
  picture.Add("<g class=\"labels\">" + labels + "</g>");
  counts.dashed_lines = static_cast<int>(drawing.DashedLines.size());
  counts.plain_lines = static_cast<int>(drawing.Lines.size());
  counts.dimension_lines = static_cast<int>(drawing.DimensionLines.size());
  return counts;
}

std::vector<LegendItem> ShapeLegend(const ShapeCounts& c, bool drawing_lines) {
  std::vector<LegendItem> items = {
      {"<circle class=\"point\" r=\"2.5\"/>", "Point: " + std::to_string(c.points)},
      {"<circle class=\"primitive single\" r=\"3.5\"/>", "Single point: " + std::to_string(c.singles)},
      {"<line class=\"primitive line\" x1=\"-10\" y1=\"4\" x2=\"10\" y2=\"-4\"/>", "Line: " + std::to_string(c.lines)},
      {"<polygon class=\"primitive triangle\" points=\"-9,6 9,6 0,-6\"/>", "Triangle: " + std::to_string(c.triangles)},
      {"<polygon class=\"primitive quad\" points=\"-9,6 9,6 9,-6 -9,-6\"/>", "Quad: " + std::to_string(c.quads)},
      {"<polygon class=\"primitive polygon\" points=\"-10,2 -4,7 8,5 10,-3 0,-7\"/>",
       "Polygon: " + std::to_string(c.polygons)},
  };
  if (drawing_lines) {
    items.push_back({"<line class=\"drawing-line dashed\" x1=\"-11\" y1=\"0\" x2=\"11\" y2=\"0\"/>",
                     "Dashed line: " + std::to_string(c.dashed_lines)});
    items.push_back({"<line class=\"drawing-line plain\" x1=\"-11\" y1=\"0\" x2=\"11\" y2=\"0\"/>",
                     "Plain line: " + std::to_string(c.plain_lines)});
    items.push_back(
        {"<line class=\"drawing-line dimension\" x1=\"-11\" y1=\"0\" x2=\"11\" y2=\"0\""
         " marker-start=\"url(#arrow)\" marker-end=\"url(#arrow)\"/>",
         "Dimension line and its length: " + std::to_string(c.dimension_lines)});
  }
  return items;
}

}  // namespace railfmt::inspect
