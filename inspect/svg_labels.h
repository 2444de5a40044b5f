// Labels that do not pile up: each label is offered at a few positions in
// order of preference and placed at the first where it overlaps no label
// placed before it and stays inside the picture's area; a label with no
// such position is left out (its element keeps its hover title). The
// rectangles placed are kept in a grid of cells, so a placement costs the
// labels near it, not all of them.
#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "inspect/svg_canvas.h"

namespace railfmt::inspect {

struct Rect {
  double x = 0, y = 0, width = 0, height = 0;
  bool Overlaps(const Rect& other) const;
};

// A rectangle of width by height centred on (x, y).
Rect CentredRect(double x, double y, double width, double height);

// The width of a text of the pictures' sans-serif font, estimated from
// its length; the height of a line is 1.25 times the font size.
double TextWidth(std::string_view text, double font_size);

class LabelSpace {
 public:
  explicit LabelSpace(const Panel& area, double cell = 32);

  // Marks a rectangle as taken (a label, or a symbol labels must not hide).
  void Take(const Rect& rect);
  // Inside the area and overlapping nothing taken.
  bool IsFree(const Rect& rect) const;
  // The first free candidate, taken; nothing when none is free.
  std::optional<Rect> TakeFirstFree(std::span<const Rect> candidates);

 private:
  // The cells a rectangle touches, clamped to the grid.
  void Cells(const Rect& rect, int& x0, int& y0, int& x1, int& y1) const;

  Panel area_;
  double cell_;
  int columns_;
  int rows_;
  std::vector<Rect> taken_;
  std::vector<std::vector<int>> cells_;  // per cell: indices into taken_
};

}  // namespace railfmt::inspect
