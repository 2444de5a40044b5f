// The picture railinspect draws of one recognised file (--svg):
// - a layout: its tracks as straight lines or circular arcs, track numbers,
//   bridges and buffer stops as symbols, other placed models as labelled
//   markers, and a legend with the counts;
// - a model: the x-y projection of the points of all its parts with its
//   single points, lines, triangles, quads and polygons;
// - a construction drawing: the same for its one element, and its dashed,
//   plain and dimension lines;
// - rolling stock: its three models side by side.
// Entries numbered 0 are absent from a layout and are not drawn. Every
// track and every primitive is exactly one element of the picture.
#pragma once

#include <string>

#include "tools/railinspect/inspection.h"

namespace railfmt::inspect {

inline constexpr double kPictureWidth = 1000;
inline constexpr double kPictureHeight = 800;
inline constexpr double kLegendHeight = 100;

// The SVG document of a recognised file, named by its entry name.
std::string DrawFile(const FileReport& report);

}  // namespace railfmt::inspect
