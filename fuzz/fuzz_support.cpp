#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>

namespace railfmt::fuzz {

void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "railfmt fuzz: %s: %s\n", what, detail.c_str());
  std::abort();
}

}  // namespace railfmt::fuzz
