#include "inspect/svg_drawing.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "inspect/svg_canvas.h"
#include "inspect/svg_labels.h"
#include "inspect/svg_layout.h"
#include "inspect/svg_model.h"

namespace railfmt::inspect {
namespace {

constexpr double kMargin = 28;

Panel Drawing(const SvgDocument& picture) {
  return {0, kLegendHeight, picture.width(), picture.height() - kLegendHeight};
}

std::string Counted(int n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

void DrawRollingStock(const CRollmaterial& stock, const std::string& name, SvgDocument& picture) {
  // Three panels side by side; one scale for all, the one the largest
  // model needs to fit its panel.
  constexpr double kTitle = 26;
  const double width = picture.width() / 3;
  std::array<Panel, 3> panels;
  std::array<Box, 3> boxes;
  double scale = 0;
  for (std::size_t i = 0; i < 3; ++i) {
    panels[i] = {width * static_cast<double>(i), kLegendHeight + kTitle, width,
                 picture.height() - kLegendHeight - kTitle};
    boxes[i] = ModelBox(stock.Models[i]);
    if (boxes[i].empty) continue;
    const double fit = Viewport::FitScale(boxes[i], panels[i].Inset(kMargin));
    scale = scale == 0 ? fit : std::min(scale, fit);
  }
  if (scale == 0) scale = 1;
  ShapeCounts total;
  Viewport last(boxes[0], panels[0].Inset(kMargin), scale);
  for (std::size_t i = 0; i < 3; ++i) {
    const Viewport view(boxes[i], panels[i].Inset(kMargin), scale);
    DrawGridAndScale(view, panels[i], picture);
    const std::string prefix = "Model " + std::to_string(i + 1) + ", ";
    const ShapeCounts c = DrawModel(stock.Models[i], view, prefix, picture);
    total += c;
    picture.Add("<rect class=\"panel-frame\" x=\"" + Num(panels[i].left + 3) + "\" y=\"" + Num(panels[i].top) +
                "\" width=\"" + Num(panels[i].width - 6) + "\" height=\"" + Num(panels[i].height - 3) +
                "\"/><text class=\"panel-title\" x=\"" + Num(panels[i].left + 10) + "\" y=\"" + Num(panels[i].top - 8) +
                "\">Model " + std::to_string(i + 1) + ": " + Counted(c.parts, "part", "parts") + ", " +
                Counted(c.points, "point", "points") + ", " + Counted(c.primitives(), "primitive", "primitives") +
                "</text>");
    last = view;
  }
  std::vector<LegendItem> items = ShapeLegend(total, false);
  items.push_back(GridLegendItem(last));
  DrawLegend(picture,
             "Rolling stock " + name + " (\"" + XmlText(stock.Info.Name.value_or("")) +
                 "\"): its three models at one scale, x-y projection, y up",
             items);
}

// Lines far from a drawing's element shrink it in the fit: an element
// smaller than a few pixels gets a frame and a name, so the eye finds it.
void FrameSmallElement(const CKonstruktion& drawing, const Viewport& view, LabelSpace& space, SvgDocument& picture) {
  Box box;
  for (const CPunkt& p : drawing.Points) box.Add(p.X, p.Y);
  if (box.empty) return;
  const PixelPoint low = view.Map(box.min_x, box.min_y);
  const PixelPoint high = view.Map(box.max_x, box.max_y);
  constexpr double kSmall = 24;
  if (high.x - low.x >= kSmall || low.y - high.y >= kSmall) return;
  const Rect frame = CentredRect((low.x + high.x) / 2, (low.y + high.y) / 2, kSmall, kSmall);
  space.Take(frame);
  picture.Add("<rect class=\"element-frame\" x=\"" + Num(frame.x) + "\" y=\"" + Num(frame.y) + "\" width=\"" +
              Num(frame.width) + "\" height=\"" + Num(frame.height) +
              "\"><title>The drawing's element: " + std::to_string(drawing.Points.size()) + " points within " +
              Units(box.max_x - box.min_x) + " by " + Units(box.max_y - box.min_y) + " units</title></rect>");
  const std::string text = "element";
  const double width = TextWidth(text, 11) + 2;
  const Rect places[] = {{frame.x + frame.width + 3, frame.y, width, 13},
                         {frame.x - width - 3, frame.y, width, 13},
                         {frame.x, frame.y - 16, width, 13}};
  if (const std::optional<Rect> at = space.TakeFirstFree(places)) {
    picture.Add("<text class=\"label element-text\" x=\"" + Num(at->x + at->width / 2) + "\" y=\"" +
                Num(at->y + at->height / 2) + "\">" + text + "</text>");
  }
}

}  // namespace

std::string DrawFile(const Report& report) {
  SvgDocument picture(kPictureWidth, kPictureHeight, report.entry_name);
  if (!report.recognised()) return picture.Text();
  const std::string name = XmlText(report.entry_name);
  const RecognisedFile& file = *report.file;
  const Panel panel = Drawing(picture);
  if (const auto* stock = file.As<CRollmaterial>()) {
    DrawRollingStock(*stock, name, picture);
  } else if (const auto* model = file.As<CModell>()) {
    const Viewport view(ModelBox(*model), panel.Inset(kMargin));
    DrawGridAndScale(view, panel, picture);
    const ShapeCounts c = DrawModel(*model, view, "", picture);
    std::vector<LegendItem> items = ShapeLegend(c, false);
    items.push_back(GridLegendItem(view));
    DrawLegend(picture, "Model " + name + ": " + Counted(c.parts, "part", "parts") + ", x-y projection, y up", items);
  } else if (const auto* drawing = file.As<CKonstruktion>()) {
    const Viewport view(DrawingBox(*drawing), panel.Inset(kMargin));
    DrawGridAndScale(view, panel, picture);
    LabelSpace space(panel.Inset(2));
    FrameSmallElement(*drawing, view, space, picture);
    const ShapeCounts c = DrawConstruction(*drawing, view, space, picture);
    std::vector<LegendItem> items = ShapeLegend(c, true);
    items.push_back(GridLegendItem(view));
    DrawLegend(picture, "Construction drawing " + name + ", y up", items);
  } else if (const auto* layout = file.As<CAnlage>()) {
    DrawLayout(*layout, picture);
  }
  return picture.Text();
}

}  // namespace railfmt::inspect
