// railinspect's run, behind its command-line parser: inspects the paths,
// prints the report (text or JSON) on standard output and writes the
// picture asked for. Nothing else is ever written.
#pragma once

#include <string>
#include <vector>

namespace railfmt::inspect {

struct Options {
  std::vector<std::string> paths;
  bool json = false;
  std::string svg_path;  // empty: no picture
};

inline constexpr int kExitAllRecognised = 0;
inline constexpr int kExitNotAllRecognised = 1;
inline constexpr int kExitUsage = 2;

// Returns the exit status: 0 when every file was recognised (and the
// picture, if asked for, was written), 1 otherwise, 2 for a request that
// cannot be carried out as given (a picture of anything but one file, or
// a picture that would replace the file it shows).
int RunInspector(const Options& options);

}  // namespace railfmt::inspect
