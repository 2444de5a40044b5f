// The picture of a layout, y up as in the file:
// - every track numbered other than 0 as one path, a straight line or the
//   circular arc the library's ArcGeometry gives, coloured by its number of
//   ends, with a hover title of its number, name and fields;
// - a bridge ("..\Bruecken...") on its track as a band along the whole
//   track, a buffer stop ("..\Prellbock...") on its track as a band over
//   the track's last 300 units ending in a bar, both as wide as the scale
//   allows; one on no track as a dashed mark at its own place;
// - every other placed model as a dot; models that sit on one spot marked
//   with their count;
// - track numbers and model names only where they overlap no other label;
// - a light grid, a scale bar, and the legend of every colour and symbol.
// Entries numbered 0 are absent from a layout and are not drawn. Vehicles
// have no position in a layout and are only counted.
#pragma once

#include <string>

#include "inspect/svg_canvas.h"
#include "inspect/words.h"
#include "layout/layout.h"

namespace railfmt::inspect {

// Draws the layout into the panel; returns its legend.
Legend DrawLayout(const CAnlage& layout, const std::string& name, const Panel& panel, const Words& words,
                  SvgDocument& picture);

}  // namespace railfmt::inspect
