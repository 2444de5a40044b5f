// What the fuzz targets share beyond the test support library.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace railfmt::fuzz {

// Prints the message to standard error and aborts: libFuzzer then keeps the
// input as a crash reproducer.
[[noreturn]] inline void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "railfmt fuzz: %s: %s\n", what, detail.c_str());
  std::abort();
}

}  // namespace railfmt::fuzz
