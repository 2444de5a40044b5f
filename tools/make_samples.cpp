// make_samples DIR: writes one valid sample file of every kind and variant
// the library knows into DIR (created when missing), and lists them.
#include <cstdio>
#include <filesystem>
#include <string>

#include "driver/directory.h"
#include "tools/samples/sample_files.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_samples DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  const auto directory = railfmt::OpenDirectory(dir);
  if (directory == nullptr) {
    std::fprintf(stderr, "make_samples: cannot open the directory %s\n", dir.c_str());
    return 1;
  }
  int failures = 0;
  for (const railfmt::SampleFile& sample : railfmt::MakeSampleFiles()) {
    const railfmt::StoreOutcome outcome = directory->Store(sample.name, sample.bytes, nullptr);
    if (outcome == railfmt::StoreOutcome::kRefused || outcome == railfmt::StoreOutcome::kFailed) {
      std::fprintf(stderr, "make_samples: cannot write %s/%s\n", dir.c_str(), sample.name.c_str());
      ++failures;
    } else {
      std::printf("%8zu  %s\n", sample.bytes.size(), sample.name.c_str());
    }
  }
  return failures == 0 ? 0 : 1;
}
