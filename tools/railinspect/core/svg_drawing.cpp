#include "tools/railinspect/svg_drawing.h"

#include <string>
#include <vector>

#include "tools/railinspect/svg_canvas.h"
#include "tools/railinspect/svg_layout.h"
#include "tools/railinspect/svg_model.h"

namespace railfmt::inspect {
namespace {

// The band at the top: a heading (already XML text) and up to three lines.
void Legend(SvgDocument& picture, const std::string& heading, const std::vector<std::string>& lines) {
  std::string legend = "<g class=\"legend\"><text class=\"heading\" x=\"20\" y=\"28\">" + heading + "</text>";
  double y = 52;
  for (const std::string& line : lines) {
    legend += "<text x=\"20\" y=\"" + Num(y) + "\">" + XmlText(line) + "</text>";
    y += 20;
  }
  picture.Add(legend + "<line x1=\"0\" y1=\"" + Num(kLegendHeight) + "\" x2=\"" + Num(picture.width()) + "\" y2=\"" +
              Num(kLegendHeight) + "\" stroke=\"#ccc\"/></g>");
}

Panel WholePanel(const SvgDocument& picture) {
  return {0, kLegendHeight, picture.width(), picture.height() - kLegendHeight};
}

}  // namespace

std::string DrawFile(const FileReport& report) {
  SvgDocument picture(kPictureWidth, kPictureHeight, report.entry_name);
  const std::string name = XmlText(report.entry_name);
  if (!report.recognised()) return picture.Text();
  const RecognisedFile& file = *report.file;
  if (const auto* record = file.As<CRollmaterial>()) {
    const CRollmaterial& rolling_stock = *record;
    // The three models side by side, each scaled to its own panel.
    const double width = picture.width() / 3;
    std::vector<std::string> counts;
    for (std::size_t i = 0; i < rolling_stock.Models.size(); ++i) {
      const Panel panel{width * static_cast<double>(i), kLegendHeight + 30, width,
                        picture.height() - kLegendHeight - 30};
      picture.Add("<rect class=\"panel-frame\" x=\"" + Num(panel.left + 4) + "\" y=\"" + Num(panel.top) +
                  "\" width=\"" + Num(panel.width - 8) + "\" height=\"" + Num(panel.height - 4) + "\"/><text x=\"" +
                  Num(panel.left + 12) + "\" y=\"" + Num(panel.top - 8) + "\">Model " + std::to_string(i) + "</text>");
      const ShapeCounts c = DrawModelPanel(rolling_stock.Models[i], panel, picture);
      counts.push_back("Model " + std::to_string(i) + ": " + std::to_string(c.parts) + " parts, " +
                       std::to_string(c.points) + " points, " +
                       std::to_string(c.singles + c.lines + c.triangles + c.quads + c.polygons) + " primitives");
    }
    Legend(picture, "Rolling stock " + name + " (" + XmlText(rolling_stock.Info.Name.value_or("")) + ")", counts);
  } else if (const auto* model = file.As<CModell>()) {
    Legend(picture, "Model " + name, CountsText(DrawModelPanel(*model, WholePanel(picture), picture), false));
  } else if (const auto* drawing = file.As<CKonstruktion>()) {
    Legend(picture, "Construction drawing " + name,
           CountsText(DrawConstructionPanel(*drawing, WholePanel(picture), picture), true));
  } else if (const auto* layout = file.As<CAnlage>()) {
    DrawLayout(*layout, picture);
  }
  return picture.Text();
}

}  // namespace railfmt::inspect
