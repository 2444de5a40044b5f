#include "tools/sample_files.h"

namespace railfmt {

std::vector<SampleFile> MakeSampleFiles() {
  std::vector<SampleFile> samples;
  return samples;
}

}  // namespace railfmt
