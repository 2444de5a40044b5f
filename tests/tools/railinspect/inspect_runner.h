// Test support: runs the real railinspect executable in the working
// directory and keeps what it printed and its exit status.
#pragma once

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "tests/support/run_program.h"
#include "tools/samples/sample_files.h"

namespace railfmt::testing {

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

// args are given to /bin/sh as they stand (quote names yourself).
inline InspectRun RunInspect(const std::string& args) {
  InspectRun run;
  const std::string err_file = ".railinspect-stderr";  // hidden: the tools pass over it
  run.out = RunCommand(std::string("'") + RAILINSPECT_BINARY + "' " + args + " 2>" + err_file, &run.status);
  std::ifstream in(err_file);
  run.err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  std::remove(err_file.c_str());
  return run;
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
