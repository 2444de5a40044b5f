#include "tools/railinspect/svg_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "tools/railinspect/json_values.h"

namespace railfmt::inspect {

void Box::Add(double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  if (empty) {
    min_x = max_x = x;
    min_y = max_y = y;
    empty = false;
    return;
  }
  min_x = std::min(min_x, x);
  max_x = std::max(max_x, x);
  min_y = std::min(min_y, y);
  max_y = std::max(max_y, y);
}

Viewport::Viewport(Box content, double left, double top, double width, double height) {
  if (content.empty) content.Add(0, 0);
  double span_x = content.max_x - content.min_x;
  double span_y = content.max_y - content.min_y;
  const double span = std::max(span_x, span_y);
  const double pad = span > 0 ? span : 1.0;
  if (span_x <= 0) {
    content.min_x -= pad / 2;
    span_x = pad;
  }
  if (span_y <= 0) {
    content.min_y -= pad / 2;
    span_y = pad;
  }
  scale_ = std::min(width / span_x, height / span_y);
  const double centre_x = content.min_x + span_x / 2;
  const double centre_y = content.min_y + span_y / 2;
  origin_x_ = left + width / 2 - centre_x * scale_;
  origin_y_ = top + height / 2 + centre_y * scale_;
}

PixelPoint Viewport::Map(double x, double y) const { return {origin_x_ + x * scale_, origin_y_ - y * scale_}; }

SvgDocument::SvgDocument(double width, double height, std::string_view title)
    : width_(width), height_(height), title_(title) {}

void SvgDocument::Add(std::string element) { elements_.push_back(std::move(element)); }

std::string SvgDocument::Text() const {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(width_) + "\" height=\"" + Num(height_) +
         "\" viewBox=\"0 0 " + Num(width_) + " " + Num(height_) + "\">\n";
  out += "<title>" + XmlText(title_) + "</title>\n";
  out +=
      "<style>\n"
      "text { font-family: sans-serif; font-size: 12px; fill: #222; }\n"
      ".legend text { font-size: 14px; }\n"
      ".legend .heading { font-size: 16px; font-weight: bold; }\n"
      ".track { fill: none; stroke: #444; stroke-width: 3; stroke-linecap: round; }\n"
      ".track.junction { stroke: #1f5fbf; }\n"
      ".track.end { stroke: #8a5a00; }\n"
      ".track-number { font-size: 12px; font-weight: bold; fill: #a00; text-anchor: middle; dominant-baseline: middle;"
      " paint-order: stroke; stroke: white; stroke-width: 3px; }\n"
      ".bridge, .legend-bridge { fill: #d9b26f; stroke: #5a3d00; stroke-width: 1.5; }\n"
      ".buffer-stop, .legend-buffer-stop { fill: none; stroke: #c00; stroke-width: 4; }\n"
      ".placed-model circle, .legend-placed-model circle { fill: #3a8f3a; stroke: #1c4d1c; }\n"
      ".placed-model text { font-size: 11px; fill: #1c4d1c; paint-order: stroke; stroke: white; stroke-width: 3px; }\n"
      ".point { fill: #444; }\n"
      ".primitive { stroke: #1f5fbf; stroke-width: 1.5; stroke-linejoin: round; }\n"
      ".primitive.single { fill: #c00; stroke: none; }\n"
      ".primitive.line { fill: none; }\n"
      ".primitive.triangle { fill: #1f5fbf; fill-opacity: 0.15; }\n"
      ".primitive.quad { fill: #3a8f3a; fill-opacity: 0.15; stroke: #2a6f2a; }\n"
      ".primitive.polygon { fill: #d98f1f; fill-opacity: 0.15; stroke: #a86a0a; }\n"
      ".drawing-line { stroke: #222; stroke-width: 1.5; }\n"
      ".drawing-line.dashed { stroke-dasharray: 8 5; }\n"
      ".drawing-line.dimension { stroke: #a0a; }\n"
      ".panel-frame { fill: none; stroke: #ccc; }\n"
      "</style>\n";
  out += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  for (const std::string& element : elements_) {
    out += element;
    out += '\n';
  }
  out += "</svg>\n";
  return out;
}

std::string Num(double value) {
  if (!std::isfinite(value)) return "0";
  // Pictures are a few thousand pixels at most; a coordinate far beyond
  // that (the centre of an almost straight arc) only needs to stay far.
  value = std::clamp(value, -1e9, 1e9);
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", value);
  std::string out = text;
  while (out.back() == '0') out.pop_back();
  if (out.back() == '.') out.pop_back();
  if (out == "-0") out = "0";
  return out;
}

std::string XmlText(std::string_view bytes) {
  std::string out;
  for (const char c : DisplayText(bytes)) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          out += "\xEF\xBF\xBD";
        } else {
          out += c;
        }
    }
  }
  return out;
}

}  // namespace railfmt::inspect
