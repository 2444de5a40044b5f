#include "inspect/svg_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "inspect/json_values.h"

namespace railfmt::inspect {
namespace {

constexpr double kGridPixels = 100;

// The content box widened where it is flat or empty, so that it has an extent.
Box Spread(Box content) {
  if (content.empty) content.Add(0, 0);
  const double span = std::max(content.max_x - content.min_x, content.max_y - content.min_y);
  const double pad = span > 0 ? span : 1.0;
  if (content.max_x - content.min_x <= 0) {
    content.min_x -= pad / 2;
    content.max_x += pad / 2;
  }
  if (content.max_y - content.min_y <= 0) {
    content.min_y -= pad / 2;
    content.max_y += pad / 2;
  }
  return content;
}

constexpr const char* kStyle =
    "<style>\n"
    "text { font-family: sans-serif; font-size: 12px; fill: #222; }\n"
    ".legend text { font-size: 13px; }\n"
    ".legend .heading { font-size: 15px; font-weight: bold; }\n"
    ".grid { stroke: #ececec; stroke-width: 1; }\n"
    ".scale-bar { stroke: #222; stroke-width: 2; fill: none; }\n"
    ".scale-text { font-size: 11px; fill: #444; }\n"
    ".label { font-size: 11px; text-anchor: middle; dominant-baseline: central;"
    " paint-order: stroke; stroke: white; stroke-width: 3px; }\n"
    ".track { fill: none; stroke: #555; stroke-width: 2; stroke-linecap: round; }\n"
    ".track.junction { stroke: #1f5fbf; }\n"
    ".track.end { stroke: #8a5a00; }\n"
    ".track-number { fill: #a00; font-weight: bold; }\n"
    ".bridge { fill: none; stroke: #d4a04a; stroke-opacity: 0.85; stroke-linecap: butt; }\n"
    ".buffer-stop { fill: none; stroke: #d00; stroke-linecap: butt; }\n"
    ".off-track { fill: none; stroke-dasharray: 3 2; stroke-width: 1.5; }\n"
    ".off-track.bridge-mark { stroke: #a07020; }\n"
    ".off-track.buffer-stop-mark { stroke: #d00; }\n"
    ".placed-model { fill: #3a8f3a; stroke: #1c4d1c; stroke-width: 0.8; }\n"
    ".model-name { fill: #1c4d1c; }\n"
    ".stack { fill: #fff3b0; stroke: #806000; stroke-width: 1; }\n"
    ".stack-count { font-size: 10px; font-weight: bold; fill: #604000; text-anchor: middle;"
    " dominant-baseline: central; }\n"
    ".point { fill: #444; }\n"
    ".primitive { stroke: #1f5fbf; stroke-width: 1.5; stroke-linejoin: round; }\n"
    ".primitive.single { fill: #c00; stroke: none; }\n"
    ".primitive.line { fill: none; }\n"
    ".primitive.triangle { fill: #1f5fbf; fill-opacity: 0.15; }\n"
    ".primitive.quad { fill: #3a8f3a; fill-opacity: 0.15; stroke: #2a6f2a; }\n"
    ".primitive.polygon { fill: #d98f1f; fill-opacity: 0.15; stroke: #a86a0a; }\n"
    ".panel-frame { fill: none; stroke: #ccc; }\n"
    ".panel-title { font-size: 13px; font-weight: bold; }\n"
    ".element-frame { fill: none; stroke: #1f5fbf; stroke-dasharray: 4 3; }\n"
    ".element-text { fill: #1f5fbf; }\n"
    ".empty-note { font-size: 15px; fill: #555; text-anchor: middle; }\n"
    ".carried text { font-family: monospace; font-size: 11px; fill: #333; white-space: pre; }\n"
    ".carried text.heading { font-family: sans-serif; font-size: 12px; font-weight: bold; }\n"
    "</style>\n";

}  // namespace

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

double Viewport::FitScale(Box content, const Panel& panel) {
  content = Spread(content);
  return std::min(panel.width / (content.max_x - content.min_x), panel.height / (content.max_y - content.min_y));
}

Viewport::Viewport(Box content, const Panel& panel) : Viewport(content, panel, FitScale(content, panel)) {}

Viewport::Viewport(Box content, const Panel& panel, double scale) {
  content = Spread(content);
  scale_ = scale;
  const double centre_x = (content.min_x + content.max_x) / 2;
  const double centre_y = (content.min_y + content.max_y) / 2;
  origin_x_ = panel.left + panel.width / 2 - centre_x * scale_;
  origin_y_ = panel.top + panel.height / 2 + centre_y * scale_;
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
  out += kStyle;
  out += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  for (const std::string& element : elements_) {
    out += element;
    out += '\n';
  }
  out += "</svg>\n";
  return out;
}

double GridStep(double scale) {
  if (!(scale > 0) || !std::isfinite(scale)) return 1;
  const double raw = kGridPixels / scale;
  double step = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
    if (step * factor >= raw * 0.999) return step * factor;
  }
  return step * 10;
}

void DrawGridAndScale(const Viewport& view, const Panel& panel, const Words& words, SvgDocument& picture) {
  const double step = GridStep(view.scale());
  std::string grid = "<g class=\"grid\">";
  const double first_x = std::ceil(view.ContentX(panel.left) / step) * step;
  for (double x = first_x; view.Map(x, 0).x <= panel.left + panel.width; x += step) {
    const double px = view.Map(x, 0).x;
    grid += "<line x1=\"" + Num(px) + "\" y1=\"" + Num(panel.top) + "\" x2=\"" + Num(px) + "\" y2=\"" +
            Num(panel.top + panel.height) + "\"/>";
  }
  const double first_y = std::ceil(view.ContentY(panel.top + panel.height) / step) * step;
  for (double y = first_y; view.Map(0, y).y >= panel.top; y += step) {
    const double py = view.Map(0, y).y;
    grid += "<line x1=\"" + Num(panel.left) + "\" y1=\"" + Num(py) + "\" x2=\"" + Num(panel.left + panel.width) +
            "\" y2=\"" + Num(py) + "\"/>";
  }
  picture.Add(grid + "</g>");
  const double length = step * view.scale();
  const double x = panel.left + 12;
  const double y = panel.top + panel.height - 14;
  picture.Add("<g class=\"scale\"><path class=\"scale-bar\" d=\"M " + Num(x) + " " + Num(y - 5) + " V " + Num(y) +
              " H " + Num(x + length) + " V " + Num(y - 5) + "\"/><text class=\"scale-text\" x=\"" +
              Num(x + length + 6) + "\" y=\"" + Num(y + 1) + "\">" +
              XmlText(words.Say("{length} units", {{"length", Units(step, words.language())}})) + "</text></g>");
}

void DrawLegend(SvgDocument& picture, const Legend& legend) {
  std::string band = "<g class=\"legend\"><text class=\"heading\" x=\"16\" y=\"24\">" + XmlText(legend.heading) +
                     "</text>";
  // Three rows: three columns, or four when there are more than nine items.
  const std::size_t columns = legend.items.size() > 9 ? 4 : 3;
  const double column = (picture.width() - 16) / static_cast<double>(columns);
  for (std::size_t i = 0; i < legend.items.size(); ++i) {
    const double x = 16 + column * static_cast<double>(i % columns);
    const double y = 48 + 20 * static_cast<double>(i / columns);
    band += "<g transform=\"translate(" + Num(x + 12) + " " + Num(y - 4) + ")\">" + legend.items[i].symbol + "</g>";
    band += "<text x=\"" + Num(x + 30) + "\" y=\"" + Num(y) + "\">" + XmlText(legend.items[i].text) + "</text>";
  }
  picture.Add(band + "<line x1=\"0\" y1=\"" + Num(kLegendHeight) + "\" x2=\"" + Num(picture.width()) + "\" y2=\"" +
              Num(kLegendHeight) + "\" stroke=\"#ccc\"/></g>");
}

Panel DrawCarriedBand(SvgDocument& picture, const Panel& panel, const Legend& legend, const Words& words,
                      std::size_t max_rows) {
  std::size_t total = 0;
  for (const CarriedList& list : legend.carried) total += list.rows.size();
  if (total == 0) return panel;
  // A heading per list, its column names, its rows; what does not fit is counted.
  std::vector<std::pair<std::string, bool>> lines;
  std::size_t left = max_rows;
  for (const CarriedList& list : legend.carried) {
    if (list.rows.empty()) continue;
    lines.emplace_back(list.heading, true);
    std::string names;
    for (const std::string& column : list.columns) names += (names.empty() ? "" : " | ") + column;
    lines.emplace_back(names, false);
    const std::size_t shown = std::min(left, list.rows.size());
    for (std::size_t r = 0; r < shown; ++r) {
      std::string row;
      for (const std::string& cell : list.rows[r]) row += (row.empty() ? "" : " | ") + cell;
      lines.emplace_back(row, false);
    }
    if (shown < list.rows.size()) {
      const auto more = static_cast<std::int64_t>(list.rows.size() - shown);
      lines.emplace_back(words.SayN("… and {n} more", "… and {n} more", more), false);
    }
    left -= shown;
  }
  const double height = kCarriedRowHeight * static_cast<double>(lines.size()) + 10;
  const double top = panel.top + panel.height - height;
  std::string band = "<g class=\"carried\"><line x1=\"" + Num(panel.left) + "\" y1=\"" + Num(top) + "\" x2=\"" +
                     Num(panel.left + panel.width) + "\" y2=\"" + Num(top) + "\" stroke=\"#ccc\"/>";
  for (std::size_t i = 0; i < lines.size(); ++i) {
    band += "<text" + std::string(lines[i].second ? " class=\"heading\"" : "") + " x=\"" + Num(panel.left + 16) +
            "\" y=\"" + Num(top + kCarriedRowHeight * static_cast<double>(i + 1)) + "\">" + XmlText(lines[i].first) +
            "</text>";
  }
  picture.Add(band + "</g>");
  return {panel.left, panel.top, panel.width, panel.height - height};
}

std::string LegendSymbolDocument(const std::string& symbol) {
  return std::string("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"24\" height=\"14\" viewBox=\"-12 -7 24 14\">") +
         kStyle + symbol + "</svg>";
}

LegendItem GridLegendItem(const Viewport& view, const Words& words) {
  return {"<path class=\"scale-bar\" d=\"M -10 -3 V 2 H 10 V -3\"/>",
          words.Say("Grid and scale bar: {length} units",
                    {{"length", Units(GridStep(view.scale()), words.language())}})};
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

std::string Units(double value, Language language) {
  if (!std::isfinite(value)) return "?";
  char text[64];
  if (value == std::round(value) && std::abs(value) < 1e15) {
    std::snprintf(text, sizeof text, "%.0f", std::abs(value));
    // Thousands set apart by a space from 10000 on: 200 000 000.
    const std::string_view digits = text;
    std::string grouped = value < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
      if (i > 0 && digits.size() > 4 && (digits.size() - i) % 3 == 0) grouped += ' ';
      grouped += digits[i];
    }
    return grouped;
  } else {
    std::snprintf(text, sizeof text, "%.3g", value);
  }
  std::string out = text;
  if (language == Language::kGerman) std::replace(out.begin(), out.end(), '.', ',');
  return out;
}

std::string XmlText(std::string_view bytes) {
  constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
  const std::string text = DisplayText(bytes);
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      case '\t': out += "&#9;"; break;
      case '\n': out += "&#10;"; break;
      case '\r': out += "&#13;"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          out += kReplacement;
        } else if (text.compare(i, 2, "\xEF\xBF") == 0 && i + 2 < text.size() &&
                   (text[i + 2] == '\xBE' || text[i + 2] == '\xBF')) {
          out += kReplacement;  // U+FFFE, U+FFFF
          i += 2;
        } else {
          out += c;
        }
    }
  }
  return out;
}

}  // namespace railfmt::inspect
