// Pictures of models and construction drawings: the x-y projection (y up)
// of the points of every part, each point a dot, and each primitive one
// element: a single point a red dot, a line a line, a triangle, quad or
// polygon a filled outline; every one with a hover title of its part, its
// number and its points. A vertex index outside the part's point list
// (negative ones pass the reader) is left out of its primitive's outline.
// A construction drawing's dashed, plain and dimension lines are records
// whose values the format carries unchanged and never interprets: they are
// not coordinates, so they are listed (CarriedList), never drawn.
// Everything a picture shows is inside its fit: nothing is clipped.
#pragma once

#include <string>
#include <vector>

#include "archive/model.h"
#include "construction/construction_drawing.h"
#include "inspect/svg_canvas.h"
#include "inspect/words.h"

namespace railfmt::inspect {

// Counts of what a picture shows, for its legend.
struct ShapeCounts {
  int parts = 0;
  int points = 0;
  int singles = 0;
  int lines = 0;
  int triangles = 0;
  int quads = 0;
  int polygons = 0;

  int primitives() const { return singles + lines + triangles + quads + polygons; }
  ShapeCounts& operator+=(const ShapeCounts& other);
};

// What the pictures fit: the points of a model's parts, of a drawing's element.
Box ModelBox(const CModell& model);
Box DrawingBox(const CKonstruktion& drawing);

// Draws through the viewport; titles start with prefix ("Model 2, ").
ShapeCounts DrawModel(const CModell& model, const Viewport& view, const std::string& prefix, const Words& words,
                      SvgDocument& picture);
// The drawing's element.
ShapeCounts DrawConstruction(const CKonstruktion& drawing, const Viewport& view, const Words& words,
                             SvgDocument& picture);

// The legend entries of the shapes.
std::vector<LegendItem> ShapeLegend(const ShapeCounts& counts, const Words& words);

// The drawing's three line lists, each line's four values and its 8-byte
// block as stored; lists without lines are left out.
std::vector<CarriedList> DrawingLineLists(const CKonstruktion& drawing, const Words& words);

}  // namespace railfmt::inspect
