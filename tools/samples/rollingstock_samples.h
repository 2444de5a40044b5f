// Rolling-stock samples.
#pragma once

#include <vector>

#include "rollingstock/rolling_stock.h"
#include "tools/samples/sample_files.h"

namespace railfmt {

// Appends the rolling-stock samples, each stored under the name its info
// block holds (so the batch tool rewrites it in place): parts in all three
// models, an empty first model (the second introduces the classes), and no
// parts at all.
void AddRollingStockSamples(std::vector<SampleFile>& samples);

}  // namespace railfmt
