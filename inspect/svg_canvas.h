// The drawing surface of the pictures: an SVG document of a given size in
// pixels; viewports that fit the coordinates of a file (x to the right, y
// up) into a rectangle of it; a light grid and a scale bar in round numbers
// of the file's units; the legend, which says what every colour and symbol
// means, either as a band at the top of the picture or handed to the caller
// to show beside it (the web page's legend is HTML, readable at any zoom).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "inspect/words.h"

namespace railfmt::inspect {

inline constexpr double kPictureWidth = 1000;
inline constexpr double kPictureHeight = 800;
inline constexpr double kLegendHeight = 104;

// The bounding box of what a picture shows; non-finite points are ignored.
struct Box {
  double min_x = 0, min_y = 0, max_x = 0, max_y = 0;
  bool empty = true;
  void Add(double x, double y);
};

struct PixelPoint {
  double x = 0;
  double y = 0;
};

// A rectangle of the picture, in pixels.
struct Panel {
  double left = 0, top = 0, width = 0, height = 0;
  Panel Inset(double margin) const { return {left + margin, top + margin, width - 2 * margin, height - 2 * margin}; }
};

class Viewport {
 public:
  // Fits content into the panel, keeping its proportions, centred. An
  // empty or flat box is widened to a square so that every point still
  // lands inside.
  Viewport(Box content, const Panel& panel);
  // The content at the given scale (pixels per unit), centred in the panel.
  Viewport(Box content, const Panel& panel, double scale);

  PixelPoint Map(double x, double y) const;
  // The file coordinates of a pixel.
  double ContentX(double pixel_x) const { return (pixel_x - origin_x_) / scale_; }
  double ContentY(double pixel_y) const { return (origin_y_ - pixel_y) / scale_; }
  // Pixels per unit of the file.
  double scale() const { return scale_; }
  // The scale at which content fills the panel.
  static double FitScale(Box content, const Panel& panel);

 private:
  double scale_ = 1;
  double origin_x_ = 0;  // pixel position of content x = 0
  double origin_y_ = 0;  // pixel position of content y = 0
};

class SvgDocument {
 public:
  SvgDocument(double width, double height, std::string_view title);
  // Appends one element (or group) as written.
  void Add(std::string element);
  // The whole document: XML declaration, svg root, style, elements.
  std::string Text() const;

  double width() const { return width_; }
  double height() const { return height_; }
  const std::string& title() const { return title_; }

 private:
  double width_;
  double height_;
  std::string title_;
  std::vector<std::string> elements_;
};

// The grid step for a scale: the round number of units (1, 2 or 5 times a
// power of ten) nearest above what spans about 100 pixels.
double GridStep(double scale);

// A light grid over the panel at the round step, and a scale bar of one
// step in its lower left corner labelled with its length.
void DrawGridAndScale(const Viewport& view, const Panel& panel, const Words& words, SvgDocument& picture);

// One entry of the legend: an SVG snippet drawn in a 24 x 14 pixel box
// whose centre is the origin, and the text beside it (plain text).
struct LegendItem {
  std::string symbol;
  std::string text;
};

// Values a file carries unchanged whose meaning the format leaves open: a
// picture lists them instead of drawing them. rows holds every record;
// columns names their fields.
struct CarriedList {
  std::string heading;
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
};

// What a picture shows, in words (plain text): its heading, the meaning of
// each colour and symbol, and the lists of values it does not draw.
struct Legend {
  std::string heading;
  std::vector<LegendItem> items;
  std::vector<CarriedList> carried;
};

// The height of one row of text in the band of carried values.
inline constexpr double kCarriedRowHeight = 15;

// The legend band at the top: the heading and up to twelve items in three
// rows of three or four columns.
void DrawLegend(SvgDocument& picture, const Legend& legend);
// The carried lists as a band of text at the bottom of the panel, at most
// max_rows rows in all (the rest counted); returns the panel above it.
Panel DrawCarriedBand(SvgDocument& picture, const Panel& panel, const Legend& legend, const Words& words,
                      std::size_t max_rows);

// A legend symbol as an SVG document of its own (24 x 14 pixels, with the
// pictures' style), for a legend shown outside the picture.
std::string LegendSymbolDocument(const std::string& symbol);

// The legend entry of the grid and scale bar.
LegendItem GridLegendItem(const Viewport& view, const Words& words);

// A coordinate or length for an attribute: at most two decimals, "0" for a
// value that is not finite, so that no attribute ever reads "nan".
std::string Num(double value);

// A number of units for people: whole numbers without decimals, others
// with up to three significant decimals; the decimal sign is the language's.
std::string Units(double value, Language language = Language::kEnglish);

// A text (shown as DisplayText shows it) as XML character data or attribute
// value: markup characters escaped; tab, line feed and carriage return as
// character references, which an attribute keeps; every character XML 1.0
// does not allow (the other C0 controls, U+FFFE, U+FFFF) shown as U+FFFD.
// DisplayText gives well-formed UTF-8 only, so no surrogate or stray byte
// is left.
std::string XmlText(std::string_view bytes);

}  // namespace railfmt::inspect
