// Test support: runs the real railinspect executable in the working
// directory and keeps what it printed and its exit status.
#pragma once

#include <sstream>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "tests/support/run_program.h"
#include "tools/samples/sample_files.h"

namespace railfmt::testing {

// Built with the address sanitizer, which reserves terabytes of address
// space and keeps freed memory in quarantine: no memory bound or address
// space limit holds for a program under it.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif
#else
inline constexpr bool kAddressSanitizer = false;
#endif

struct InspectRun {
  int status = -1;
  std::string out;
  std::string err;
  // The standard output as JSON Lines, one document per line.
  std::vector<nlohmann::json> Lines() const {
    std::vector<nlohmann::json> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line, nullptr, false));
    return lines;
  }
};

// args are given to /bin/sh as they stand (quote names yourself); locale is
// the LANG of the run (LANGUAGE, LC_ALL and LC_MESSAGES unset), which chooses
// the language railinspect speaks: English under "C.UTF-8" whatever the
// machine's locale, German under "de_DE.UTF-8".
inline InspectRun RunInspect(const std::string& args, const std::string& locale = "C.UTF-8") {
  const std::string environment = "env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=" + locale + " ";
  const ProgramRun run =
      RunProgram({"/bin/sh", "-c", environment + "'" + std::string(RAILINSPECT_BINARY) + "' " + args});
  return {run.status, run.out, run.err};
}

// The bytes of the bundled sample stored under name.
inline std::vector<std::uint8_t> Sample(const std::string& name) {
  for (const SampleFile& f : MakeSampleFiles()) {
    if (f.name == name) return f.bytes;
  }
  throw std::logic_error("no sample " + name);
}

inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace railfmt::testing
