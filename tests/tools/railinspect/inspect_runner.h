// Test support: runs the real railinspect (and railfmt) executables in the
// working directory and keeps what they printed, their exit status and
// their peak memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace railfmt::testing {

struct InspectRun {
  int status = -1;
  std::string out;
  std::string err;
  // The standard output parsed as JSON (null when it is not JSON).
  nlohmann::json Json() const;
  // The standard output as JSON Lines, one document per line.
  std::vector<nlohmann::json> Lines() const;
};

// The bytes of the bundled sample stored under name.
std::vector<std::uint8_t> Sample(const std::string& name);

// args are given to /bin/sh as they stand (quote names yourself).
InspectRun RunInspect(const std::string& args);

// Runs program with argv (argv[0] included) in the working directory,
// standard output to out_path, and gives its exit status and peak resident
// memory in bytes.
int RunMeasured(const std::vector<std::string>& argv, const std::string& out_path, long& peak_bytes);

// Element counts of SVG files by class name, computed by an XML parser
// independent of the tool (python3's xml module, started once), and under
// "CLASS titled" how many of them have a <title> child; the legend is not
// counted. A class attribute of several names counts once for each. The
// result maps each path to its counts, which map "" to -1 when the file is
// not well-formed XML.
std::string SvgClassCountsJson(const std::vector<std::string>& svg_paths);

}  // namespace railfmt::testing
