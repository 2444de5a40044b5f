// Construction drawing samples.
#pragma once

#include <vector>

#include "tools/samples/sample_files.h"

namespace railfmt {

// Appends the drawing samples: the empty drawing, drawings holding only
// points (with primitives), only formats, only one of the three line lists,
// and a drawing with every list filled and primitives of every kind.
void AddConstructionSamples(std::vector<SampleFile>& samples);

}  // namespace railfmt
