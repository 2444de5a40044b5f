#include "tools/samples/sample_files.h"

#include <utility>

#include "tools/samples/construction_samples.h"
#include "tools/samples/layout_samples.h"
#include "tools/samples/model_samples.h"
#include "tools/samples/rollingstock_samples.h"

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
