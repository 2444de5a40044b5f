// The picture railinspect draws of one recognised file (--svg), 1000 x 800
// pixels with the legend band at the top:
// - a layout: see svg_layout.h;
// - a model: the x-y projection of its parts (svg_model.h);
// - a construction drawing: the same for its one element, with its dashed,
//   plain and dimension lines;
// - rolling stock: its three models side by side at one common scale, so
//   that their sizes compare.
// Every picture has a light grid and a scale bar in round numbers of the
// file's units, and every element a hover title.
#pragma once

#include <string>

#include "inspect/report.h"

namespace railfmt::inspect {

// The SVG document of a recognised file, named by its entry name; an empty
// picture for a file no kind accepted.
std::string DrawFile(const Report& report);

}  // namespace railfmt::inspect
