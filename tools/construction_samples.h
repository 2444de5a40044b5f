// Construction drawing samples.
#pragma once

#include <vector>

#include "construction/construction_drawing.h"
#include "tools/sample_files.h"

namespace railfmt {

// A drawing with every list filled: points, primitives of every kind
// (a polygon of six vertices included), formats and all three line lists.
CKonstruktion SampleDrawing();

// Appends the drawing samples: the empty drawing, drawings holding only
// points (with primitives), only formats, only one of the three line lists,
// and the full drawing.
void AddConstructionSamples(std::vector<SampleFile>& samples);

}  // namespace railfmt
