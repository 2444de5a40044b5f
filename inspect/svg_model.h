// Pictures of models and construction drawings: the x-y projection (y up)
// of the points of every part, each point a dot, and each primitive one
// element: a single point a red dot, a line a line, a triangle, quad or
// polygon a filled outline; every one with a hover title of its part, its
// number and its points. A vertex index outside the part's point list
// (negative ones pass the reader) is left out of its primitive's outline.
// A construction drawing adds its dashed, plain and dimension lines, each
// drawn from (Values[0], Values[1]) to (Values[2], Values[3]) taken as
// signed coordinates; the format leaves their meaning open, and this
// reading is the drawing's own. Dimension lines carry arrowheads and their
// length. Everything a picture shows is inside its fit: nothing is clipped.
#pragma once

#include <string>
#include <vector>

#include "archive/model.h"
#include "construction/construction_drawing.h"
#include "inspect/svg_canvas.h"
#include "inspect/svg_labels.h"

namespace railfmt::inspect {

// Counts of what a picture drew, for its legend.
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

  int primitives() const { return singles + lines + triangles + quads + polygons; }
  ShapeCounts& operator+=(const ShapeCounts& other);
};

// What the pictures fit: a model's points; a drawing's points and lines.
Box ModelBox(const CModell& model);
Box DrawingBox(const CKonstruktion& drawing);

// Draws through the viewport; titles start with prefix ("Model 2, ").
ShapeCounts DrawModel(const CModell& model, const Viewport& view, const std::string& prefix, SvgDocument& picture);
// Lengths of dimension lines are labelled where space has room.
ShapeCounts DrawConstruction(const CKonstruktion& drawing, const Viewport& view, LabelSpace& space,
                             SvgDocument& picture);

// The legend entries of the shapes (with drawing lines for a drawing).
std::vector<LegendItem> ShapeLegend(const ShapeCounts& counts, bool drawing_lines);

}  // namespace railfmt::inspect
