// The picture of a layout: every track numbered other than 0 as one path,
// a straight line or the circular arc the library's ArcGeometry gives, with
// its number beside its middle; bridges ("..\Bruecken...") and buffer stops
// ("..\Prellbock...") as symbols turned along their direction; every other
// placed model as a labelled marker; a legend with the counts. y points up,
// as in the file. Vehicles have no position in a layout and are only
// counted.
#pragma once

#include "layout/layout.h"
#include "tools/railinspect/svg_canvas.h"

namespace railfmt::inspect {

void DrawLayout(const CAnlage& layout, SvgDocument& picture);

}  // namespace railfmt::inspect
