#include "tools/sample_files.h"

#include "tools/construction_samples.h"

namespace railfmt {

std::vector<SampleFile> MakeSampleFiles() {
  std::vector<SampleFile> samples;
  AddConstructionSamples(samples);
  return samples;
}

}  // namespace railfmt
