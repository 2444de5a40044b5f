#include "tools/sample_files.h"

#include <utility>

#include "tools/construction_samples.h"
#include "tools/layout_samples.h"
#include "tools/model_samples.h"
#include "tools/rollingstock_samples.h"

namespace railfmt {

std::vector<SampleFile> MakeSampleFiles() {
  std::vector<SampleFile> samples;
  AddRollingStockSamples(samples);
  AddModelSamples(samples);
  AddConstructionSamples(samples);
  for (SampleFile& s : MakeLayoutSamples()) samples.push_back(std::move(s));
  return samples;
}

}  // namespace railfmt
