#include "tools/sample_files.h"

#include <utility>

#include "tools/layout_samples.h"
#include "tools/model_samples.h"

namespace railfmt {

std::vector<SampleFile> MakeSampleFiles() {
  std::vector<SampleFile> samples;
  AddModelSamples(samples);
  for (SampleFile& s : MakeLayoutSamples()) samples.push_back(std::move(s));
  return samples;
}

}  // namespace railfmt
