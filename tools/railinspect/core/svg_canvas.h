// The drawing surface of railinspect's pictures: an SVG document of a fixed
// size in pixels, and viewports that fit the coordinates of a file (x to the
// right, y up) into a rectangle of it, scaled to fit and centred.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace railfmt::inspect {

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

class Viewport {
 public:
  // Fits content into the rectangle (left, top, width, height) of the
  // picture, keeping its proportions. An empty or flat box is widened to a
  // square so that every point still lands inside.
  Viewport(Box content, double left, double top, double width, double height);

  PixelPoint Map(double x, double y) const;
  // Pixels per unit of the file.
  double scale() const { return scale_; }

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

// A coordinate or length for an attribute: at most two decimals, "0" for a
// value that is not finite, so that no attribute ever reads "nan".
std::string Num(double value);

// A text (shown as DisplayText shows it) as XML character data or attribute
// value: markup characters escaped, the control characters XML does not
// allow shown as U+FFFD.
std::string XmlText(std::string_view bytes);

}  // namespace railfmt::inspect
