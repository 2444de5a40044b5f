#include "inspect/svg_labels.h"

#include <algorithm>
#include <cmath>

namespace railfmt::inspect {

bool Rect::Overlaps(const Rect& o) const {
  return x < o.x + o.width && o.x < x + width && y < o.y + o.height && o.y < y + height;
}

Rect CentredRect(double x, double y, double width, double height) {
  return {x - width / 2, y - height / 2, width, height};
}

double TextWidth(std::string_view text, double font_size) {
  // Bytes of a UTF-8 sequence after its first stand for no width.
  double characters = 0;
  for (const char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) == 0x80 ? 0 : 1;
  return characters * font_size * 0.62;
}

LabelSpace::LabelSpace(const Panel& area, double cell)
    : area_(area),
      cell_(cell),
      columns_(std::max(1, static_cast<int>(std::ceil(area.width / cell)))),
      rows_(std::max(1, static_cast<int>(std::ceil(area.height / cell)))),
      cells_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_)) {}

void LabelSpace::Cells(const Rect& r, int& x0, int& y0, int& x1, int& y1) const {
  const auto clamp_column = [this](double v) {
    return std::clamp(static_cast<int>(std::floor((v - area_.left) / cell_)), 0, columns_ - 1);
  };
  const auto clamp_row = [this](double v) {
    return std::clamp(static_cast<int>(std::floor((v - area_.top) / cell_)), 0, rows_ - 1);
  };
  x0 = clamp_column(r.x);
  x1 = clamp_column(r.x + r.width);
  y0 = clamp_row(r.y);
  y1 = clamp_row(r.y + r.height);
}

void LabelSpace::Take(const Rect& rect) {
  if (!std::isfinite(rect.x) || !std::isfinite(rect.y)) return;
  const int index = static_cast<int>(taken_.size());
  taken_.push_back(rect);
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  Cells(rect, x0, y0, x1, y1);
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) cells_[static_cast<std::size_t>(y * columns_ + x)].push_back(index);
  }
}

bool LabelSpace::IsFree(const Rect& r) const {
  if (!(r.x >= area_.left && r.y >= area_.top && r.x + r.width <= area_.left + area_.width &&
        r.y + r.height <= area_.top + area_.height)) {
    return false;
  }
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  Cells(r, x0, y0, x1, y1);
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      for (const int i : cells_[static_cast<std::size_t>(y * columns_ + x)]) {
        if (taken_[static_cast<std::size_t>(i)].Overlaps(r)) return false;
      }
    }
  }
  return true;
}

std::optional<Rect> LabelSpace::TakeFirstFree(std::span<const Rect> candidates) {
  for (const Rect& candidate : candidates) {
    if (IsFree(candidate)) {
      Take(candidate);
      return candidate;
    }
  }
  return std::nullopt;
}

}  // namespace railfmt::inspect
