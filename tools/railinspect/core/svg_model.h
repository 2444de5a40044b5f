// Pictures of models and construction drawings: the x-y projection (y up)
// of the points of every part, each point a dot, and each primitive one
// element: a single point a red dot, a line a line, a triangle, quad or
// polygon a filled outline. A vertex index outside the part's point list
// (negative ones pass the reader) is left out of its primitive's outline.
// A construction drawing adds its dashed, plain and dimension lines, each
// drawn from (Values[0], Values[1]) to (Values[2], Values[3]) taken as
// signed coordinates; the format leaves their meaning open, and this
// reading is the drawing's own. The element's points set the scale (the
// lines only when it has none); lines are clipped to the panel, and those
// that reach out of it are counted in the legend.
#pragma once

#include <string>
#include <vector>

#include "archive/model.h"
#include "construction/construction_drawing.h"
#include "tools/railinspect/svg_canvas.h"

namespace railfmt::inspect {

// Counts of what a panel drew, for its legend.
struct ShapeCounts {
  int parts = 0;
  int points = 0;
  int singles = 0;
  int lines = 0;
  int triangles = 0;
  int quads = 0;
  int polygons = 0;
  int dashed_lines = 0;
  int plain_lines = 0;
  int dimension_lines = 0;
  int lines_outside = 0;  // drawing lines with an end outside the panel
};

// The rectangle of the picture a panel fills.
struct Panel {
  double left = 0, top = 0, width = 0, height = 0;
};

// Draws the model into the panel, scaled to fit, and returns its counts.
ShapeCounts DrawModelPanel(const CModell& model, const Panel& panel, SvgDocument& picture);
ShapeCounts DrawConstructionPanel(const CKonstruktion& drawing, const Panel& panel, SvgDocument& picture);

// The legend lines of a panel: "Parts: 2, points: 12 (x-y projection, y
// up)", "Single points: 1, lines: 3, ...", and for a drawing its lines.
std::vector<std::string> CountsText(const ShapeCounts& counts, bool with_drawing_lines);

}  // namespace railfmt::inspect
