// make_samples DIR: writes one valid sample file of every kind and variant
// the library knows into DIR (created when missing), and lists them.
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "driver/output_file.h"
#include "tools/sample_files.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_samples DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  ::mkdir(dir.c_str(), 0777);
  int failures = 0;
  for (const railfmt::SampleFile& sample : railfmt::MakeSampleFiles()) {
    if (railfmt::StoreOutputFile(dir + "/" + sample.name, sample.bytes)) {
      std::printf("%8zu  %s\n", sample.bytes.size(), sample.name.c_str());
    } else {
      std::fprintf(stderr, "make_samples: cannot write %s/%s\n", dir.c_str(), sample.name.c_str());
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
