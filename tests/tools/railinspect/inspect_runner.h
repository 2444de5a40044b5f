// Test support: runs the real railinspect executable in the working
// directory and keeps its standard output, standard error and exit status.
#pragma once

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
};

// Runs railinspect with the arguments; standard output and standard error
// with their line ends made "\n" (WithUnixLineEnds).
InspectRun RunInspect(const std::vector<std::string>& args);
// The same with the arguments given as words separated by spaces.
InspectRun RunInspect(const std::string& words);

#ifndef _WIN32
// Element counts of an SVG file by class name, computed by an XML parser
// independent of the tool (python3's xml module). A class attribute of
// several names counts once for each. "" maps to -1 when the file is not
// well-formed XML.
std::string SvgClassCountsJson(const std::string& svg_path);
#endif

}  // namespace railfmt::testing
