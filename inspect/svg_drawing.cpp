#include "inspect/svg_drawing.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "inspect/json_values.h"
#include "inspect/svg_canvas.h"
#include "inspect/svg_labels.h"
#include "inspect/svg_layout.h"
#include "inspect/svg_model.h"

namespace railfmt::inspect {
namespace {

constexpr double kMargin = 28;
// Rows of carried values a picture with its legend inside lists at most.
constexpr std::size_t kCarriedRowsInside = 8;

std::string Counted(const Words& words, int n, std::string_view one, std::string_view many) {
  return words.SayN(one, many, n);
}

Legend DrawRollingStock(const CRollmaterial& stock, const std::string& name, const Panel& panel, const Words& words,
                        SvgDocument& picture) {
  // Three panels side by side; one scale for all, the one the largest
  // model needs to fit its panel.
  constexpr double kTitle = 26;
  const double width = panel.width / 3;
  std::array<Panel, 3> panels;
  std::array<Box, 3> boxes;
  double scale = 0;
  for (std::size_t i = 0; i < 3; ++i) {
    panels[i] = {panel.left + width * static_cast<double>(i), panel.top + kTitle, width, panel.height - kTitle};
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
    DrawGridAndScale(view, panels[i], words, picture);
    const std::string model = std::to_string(i + 1);
    const ShapeCounts c = DrawModel(stock.Models[i], view, words.Say("Model {n}, ", {{"n", model}}), words, picture);
    total += c;
    const std::string title =
        words.Say("Model {n}: {parts}, {points}, {primitives}",
                  {{"n", model},
                   {"parts", Counted(words, c.parts, "{n} part", "{n} parts")},
                   {"points", Counted(words, c.points, "{n} point", "{n} points")},
                   {"primitives", Counted(words, c.primitives(), "{n} primitive", "{n} primitives")}});
    picture.Add("<rect class=\"panel-frame\" x=\"" + Num(panels[i].left + 3) + "\" y=\"" + Num(panels[i].top) +
                "\" width=\"" + Num(panels[i].width - 6) + "\" height=\"" + Num(panels[i].height - 3) +
                "\"/><text class=\"panel-title\" x=\"" + Num(panels[i].left + 10) + "\" y=\"" + Num(panels[i].top - 8) +
                "\">" + XmlText(title) + "</text>");
    last = view;
  }
  Legend legend{words.Say("Rolling stock {file} (\"{name}\"): its three models at one scale, x-y projection, y up",
                          {{"file", name}, {"name", DisplayText(stock.Info.Name.value_or(""))}}),
                ShapeLegend(total, words),
                {}};
  legend.items.push_back(GridLegendItem(last, words));
  return legend;
}

// An element smaller than a few pixels gets a frame and a name, so the eye
// finds it.
void FrameSmallElement(const CKonstruktion& drawing, const Viewport& view, const Words& words, SvgDocument& picture) {
  Box box;
  for (const CPunkt& p : drawing.Points) box.Add(p.X, p.Y);
  if (box.empty) return;
  const PixelPoint low = view.Map(box.min_x, box.min_y);
  const PixelPoint high = view.Map(box.max_x, box.max_y);
  constexpr double kSmall = 24;
  if (high.x - low.x >= kSmall || low.y - high.y >= kSmall) return;
  const Rect frame = CentredRect((low.x + high.x) / 2, (low.y + high.y) / 2, kSmall, kSmall);
  const std::string title = words.SayN(
      "The drawing's element: {n} point within {width} by {height} units",
      "The drawing's element: {n} points within {width} by {height} units", static_cast<std::int64_t>(drawing.Points.size()),
      {{"width", Units(box.max_x - box.min_x, words.language())}, {"height", Units(box.max_y - box.min_y, words.language())}});
  picture.Add("<rect class=\"element-frame\" x=\"" + Num(frame.x) + "\" y=\"" + Num(frame.y) + "\" width=\"" +
              Num(frame.width) + "\" height=\"" + Num(frame.height) + "\"><title>" + XmlText(title) +
              "</title></rect><text class=\"label element-text\" x=\"" + Num(frame.x + frame.width / 2) + "\" y=\"" +
              Num(frame.y - 9) + "\">" + XmlText(words.Say("element")) + "</text>");
}

// A note in the middle of a panel that has nothing to show.
void NoteEmpty(const Panel& panel, const std::string& note, SvgDocument& picture) {
  picture.Add("<text class=\"empty-note\" x=\"" + Num(panel.left + panel.width / 2) + "\" y=\"" +
              Num(panel.top + panel.height / 2) + "\">" + XmlText(note) + "</text>");
}

Legend DrawModelPicture(const CModell& model, const std::string& name, const Panel& panel, const Words& words,
                        SvgDocument& picture) {
  const Box box = ModelBox(model);
  const Viewport view(box, panel.Inset(kMargin));
  if (box.empty) {
    NoteEmpty(panel, words.Say("Nothing to draw: the model has no points."), picture);
  } else {
    DrawGridAndScale(view, panel, words, picture);
  }
  const ShapeCounts c = DrawModel(model, view, "", words, picture);
  Legend legend{words.Say("Model {file}: {parts}, x-y projection, y up",
                          {{"file", name}, {"parts", Counted(words, c.parts, "{n} part", "{n} parts")}}),
                ShapeLegend(c, words),
                {}};
  if (!box.empty) legend.items.push_back(GridLegendItem(view, words));
  return legend;
}

Legend DrawDrawingPicture(const CKonstruktion& drawing, const std::string& name, Panel panel, bool legend_inside,
                          const Words& words, SvgDocument& picture) {
  Legend legend{words.Say("Construction drawing {file}: its element, x-y projection, y up", {{"file", name}}),
                {},
                DrawingLineLists(drawing, words)};
  if (legend_inside) panel = DrawCarriedBand(picture, panel, legend, words, kCarriedRowsInside);
  const Box box = DrawingBox(drawing);
  const Viewport view(box, panel.Inset(kMargin));
  if (box.empty) {
    NoteEmpty(panel, words.Say("Nothing to draw: the drawing's element has no points."), picture);
    return legend;
  }
  DrawGridAndScale(view, panel, words, picture);
  FrameSmallElement(drawing, view, words, picture);
  legend.items = ShapeLegend(DrawConstruction(drawing, view, words, picture), words);
  legend.items.push_back(GridLegendItem(view, words));
  return legend;
}

}  // namespace

Picture DrawPicture(const Report& report, const PictureOptions& options) {
  const Words words(options.language);
  SvgDocument document(std::clamp(options.width, 200.0, 4000.0), std::clamp(options.height, 200.0, 4000.0),
                       report.entry_name);
  Picture picture;
  if (report.file) {
    const std::string name = DisplayText(report.entry_name);
    const double top = options.legend_inside ? kLegendHeight : 0;
    const Panel panel{0, top, document.width(), document.height() - top};
    const RecognisedFile& file = *report.file;
    if (const auto* stock = file.As<CRollmaterial>()) {
      picture.legend = DrawRollingStock(*stock, name, panel, words, document);
    } else if (const auto* model = file.As<CModell>()) {
      picture.legend = DrawModelPicture(*model, name, panel, words, document);
    } else if (const auto* drawing = file.As<CKonstruktion>()) {
      picture.legend = DrawDrawingPicture(*drawing, name, panel, options.legend_inside, words, document);
    } else if (const auto* layout = file.As<CAnlage>()) {
      picture.legend = DrawLayout(*layout, name, panel, words, document);
    }
    if (options.legend_inside) DrawLegend(document, picture.legend);
  }
  picture.svg = document.Text();
  return picture;
}

std::string DrawFile(const Report& report, Language language) {
  return DrawPicture(report, {.language = language}).svg;
}

}  // namespace railfmt::inspect
