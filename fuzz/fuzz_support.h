// What the fuzz targets share beyond the test support library.
#pragma once

#include <string>

namespace railfmt::fuzz {

// Prints the message to standard error and aborts: libFuzzer then keeps the
// input as a crash reproducer.
[[noreturn]] void Fail(const char* what, const std::string& detail);

}  // namespace railfmt::fuzz
