// The picture of one recognised file:
// - a layout: see svg_layout.h;
// - a model: the x-y projection of its parts (svg_model.h);
// - a construction drawing: the same for its one element; its line records
//   are listed, not drawn (svg_model.h);
// - rolling stock: its three models side by side at one common scale, so
//   that their sizes compare.
// Every picture has a light grid and a scale bar in round numbers of the
// file's units, every element a hover title, and a legend: a band at the
// top of the picture (railinspect's --svg, a file that stands alone), or
// handed to the caller to show beside the drawing, which then fills the
// whole picture (the web page).
#pragma once

#include <string>

#include "inspect/report.h"
#include "inspect/svg_canvas.h"
#include "inspect/words.h"

namespace railfmt::inspect {

struct PictureOptions {
  Language language = Language::kEnglish;
  // The picture's size in pixels (each kept within 200 to 4000).
  double width = kPictureWidth;
  double height = kPictureHeight;
  // The legend as a band inside the picture, and the values the picture
  // does not draw listed at its bottom; false leaves both to the caller.
  bool legend_inside = true;
};

struct Picture {
  std::string svg;
  Legend legend;
};

// The picture of a recognised file (a detailed report: it holds the file as
// read), named by its entry name; an empty picture and legend for a report
// without the file.
Picture DrawPicture(const Report& report, const PictureOptions& options);

// The SVG document with its legend inside, 1000 x 800 pixels.
std::string DrawFile(const Report& report, Language language = Language::kEnglish);

}  // namespace railfmt::inspect
