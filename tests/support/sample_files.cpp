#include "tests/support/sample_files.h"

#include <utility>

#include "tests/support/construction_samples.h"
#include "tests/support/layout_samples.h"
#include "tests/support/model_samples.h"
#include "tests/support/rollingstock_samples.h"

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
