#include "tools/sample_files.h"

#include "tools/construction_samples.h"
#include "tools/model_samples.h"
#include "tools/rollingstock_samples.h"

namespace railfmt {

std::vector<SampleFile> MakeSampleFiles() {
  std::vector<SampleFile> samples;
  AddRollingStockSamples(samples);
  AddModelSamples(samples);
  AddConstructionSamples(samples);
  return samples;
}

}  // namespace railfmt
