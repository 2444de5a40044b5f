#include "tools/railinspect/svg_model.h"

#include <vector>

namespace railfmt::inspect {
namespace {

void AddPartBounds(const CModellTeil& part, Box& box) {
  for (const CPunkt& p : part.Points) box.Add(p.X, p.Y);
}

void AddLineBounds(const std::vector<CLinie>& lines, Box& box) {
  for (const CLinie& line : lines) {
    box.Add(static_cast<std::int32_t>(line.Values[0]), static_cast<std::int32_t>(line.Values[1]));
    box.Add(static_cast<std::int32_t>(line.Values[2]), static_cast<std::int32_t>(line.Values[3]));
  }
}

const char* PrimitiveClass(std::int32_t vertex_count, ShapeCounts& counts) {
  switch (vertex_count) {
    case 1: ++counts.singles; return "primitive single";
    case 2: ++counts.lines; return "primitive line";
    case 3: ++counts.triangles; return "primitive triangle";
    case 4: ++counts.quads; return "primitive quad";
    default: ++counts.polygons; return "primitive polygon";
  }
}

void DrawPart(const CModellTeil& part, std::size_t index, const Viewport& view, SvgDocument& picture,
              ShapeCounts& counts) {
  ++counts.parts;
  std::vector<PixelPoint> pixels;
  for (const CPunkt& p : part.Points) pixels.push_back(view.Map(p.X, p.Y));
  std::string group = "<g class=\"part\" data-part=\"" + std::to_string(index) + "\">";
  for (const CPrimitiv& primitive : part.Primitives) {
    const char* cls = PrimitiveClass(primitive.VertexCount, counts);
    std::vector<PixelPoint> corners;
    for (std::int32_t k = 0; k < primitive.VertexCount; ++k) {
      const std::int16_t v = primitive.VertexAt(k);
      if (v >= 0 && static_cast<std::size_t>(v) < pixels.size()) corners.push_back(pixels[static_cast<std::size_t>(v)]);
    }
    if (primitive.VertexCount == 1) {
      const PixelPoint c = corners.empty() ? PixelPoint{} : corners.front();
      group += "<circle class=\"" + std::string(cls) + "\" cx=\"" + Num(c.x) + "\" cy=\"" + Num(c.y) + "\" r=\"3.5\"/>";
    } else if (primitive.VertexCount == 2) {
      corners.resize(2, corners.empty() ? PixelPoint{} : corners.front());
      group += "<line class=\"" + std::string(cls) + "\" x1=\"" + Num(corners[0].x) + "\" y1=\"" + Num(corners[0].y) +
               "\" x2=\"" + Num(corners[1].x) + "\" y2=\"" + Num(corners[1].y) + "\"/>";
    } else {
      std::string list;
      for (const PixelPoint& c : corners) {
        if (!list.empty()) list += ' ';
        list += Num(c.x);
        list += ',';
        list += Num(c.y);
      }
      group += "<polygon class=\"" + std::string(cls) + "\" points=\"" + list + "\"/>";
    }
  }
  for (const PixelPoint& p : pixels) {
    ++counts.points;
    group += "<circle class=\"point\" cx=\"" + Num(p.x) + "\" cy=\"" + Num(p.y) + "\" r=\"1.8\"/>";
  }
  picture.Add(group + "</g>");
}

// The lines go into one group clipped to the panel; lines that reach out
// of it are counted.
std::string DrawLines(const std::vector<CLinie>& lines, const char* cls, const Viewport& view, const Panel& panel,
                      int& outside) {
  std::string out;
  const auto inside = [&panel](const PixelPoint& p) {
    return p.x >= panel.left && p.x <= panel.left + panel.width && p.y >= panel.top && p.y <= panel.top + panel.height;
  };
  for (const CLinie& line : lines) {
    const PixelPoint a = view.Map(static_cast<std::int32_t>(line.Values[0]), static_cast<std::int32_t>(line.Values[1]));
    const PixelPoint b = view.Map(static_cast<std::int32_t>(line.Values[2]), static_cast<std::int32_t>(line.Values[3]));
    if (!inside(a) || !inside(b)) ++outside;
    out += "<line class=\"" + std::string(cls) + "\" x1=\"" + Num(a.x) + "\" y1=\"" + Num(a.y) + "\" x2=\"" + Num(b.x) +
           "\" y2=\"" + Num(b.y) + "\"/>";
  }
  return out;
}

Viewport PanelView(const Box& box, const Panel& panel) {
  constexpr double kMargin = 40;
  return Viewport(box, panel.left + kMargin, panel.top + kMargin, panel.width - 2 * kMargin,
                  panel.height - 2 * kMargin);
}

}  // namespace

ShapeCounts DrawModelPanel(const CModell& model, const Panel& panel, SvgDocument& picture) {
  Box box;
  for (const CModellTeil& part : model.Elements) AddPartBounds(part, box);
  const Viewport view = PanelView(box, panel);
  ShapeCounts counts;
  for (std::size_t i = 0; i < model.Elements.size(); ++i) DrawPart(model.Elements[i], i, view, picture, counts);
  return counts;
}

ShapeCounts DrawConstructionPanel(const CKonstruktion& drawing, const Panel& panel, SvgDocument& picture) {
  // The element's points set the scale; the lines only when there are no
  // points, so that lines far off do not shrink the element to a dot.
  Box box;
  AddPartBounds(drawing, box);
  if (box.empty) {
    AddLineBounds(drawing.DashedLines, box);
    AddLineBounds(drawing.Lines, box);
    AddLineBounds(drawing.DimensionLines, box);
  }
  const Viewport view = PanelView(box, panel);
  ShapeCounts counts;
  DrawPart(drawing, 0, view, picture, counts);
  picture.Add("<clipPath id=\"drawing-clip\"><rect x=\"" + Num(panel.left) + "\" y=\"" + Num(panel.top) +
              "\" width=\"" + Num(panel.width) + "\" height=\"" + Num(panel.height) + "\"/></clipPath>");
  picture.Add("<g clip-path=\"url(#drawing-clip)\">" +
              DrawLines(drawing.DashedLines, "drawing-line dashed", view, panel, counts.lines_outside) +
              DrawLines(drawing.Lines, "drawing-line plain", view, panel, counts.lines_outside) +
              DrawLines(drawing.DimensionLines, "drawing-line dimension", view, panel, counts.lines_outside) + "</g>");
  counts.dashed_lines = static_cast<int>(drawing.DashedLines.size());
  counts.plain_lines = static_cast<int>(drawing.Lines.size());
  counts.dimension_lines = static_cast<int>(drawing.DimensionLines.size());
  return counts;
}

std::vector<std::string> CountsText(const ShapeCounts& c, bool with_drawing_lines) {
  std::vector<std::string> lines = {
      "Parts: " + std::to_string(c.parts) + ", points: " + std::to_string(c.points) + " (x-y projection, y up)",
      "Single points: " + std::to_string(c.singles) + ", lines: " + std::to_string(c.lines) +
          ", triangles: " + std::to_string(c.triangles) + ", quads: " + std::to_string(c.quads) +
          ", polygons: " + std::to_string(c.polygons)};
  if (with_drawing_lines) {
    lines.push_back("Dashed lines: " + std::to_string(c.dashed_lines) + ", plain lines: " +
                    std::to_string(c.plain_lines) + ", dimension lines: " + std::to_string(c.dimension_lines) +
                    " (from Values[0], Values[1] to Values[2], Values[3]; " + std::to_string(c.lines_outside) +
                    " reach outside the picture)");
  }
  return lines;
}

}  // namespace railfmt::inspect
