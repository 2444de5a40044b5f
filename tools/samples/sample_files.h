// Valid sample files of every kind the library knows, built from values
// with the library's own writers. The demo, the tests and the fuzzers' seed
// corpora all start from these.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace railfmt {

struct SampleFile {
  std::string name;                 // file name to store it under
  std::vector<std::uint8_t> bytes;  // its content
};

std::vector<SampleFile> MakeSampleFiles();

}  // namespace railfmt
