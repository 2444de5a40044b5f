#include "tests/tools/railinspect/inspect_runner.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "tests/support/run_program.h"

namespace railfmt::testing {

nlohmann::json InspectRun::Json() const { return nlohmann::json::parse(out, nullptr, false); }

InspectRun RunInspect(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {RAILINSPECT_BINARY};
  argv.insert(argv.end(), args.begin(), args.end());
  const ProgramRun run = RunProgram(argv);
  return {run.status, WithUnixLineEnds(run.out), WithUnixLineEnds(run.err)};
}

InspectRun RunInspect(const std::string& words) {
  std::vector<std::string> args;
  std::istringstream in(words);
  for (std::string word; in >> word;) args.push_back(word);
  return RunInspect(args);
}

#ifndef _WIN32
std::string SvgClassCountsJson(const std::string& svg_path) {
  static const char* const kScript =
      "import collections, json, sys, xml.etree.ElementTree as E\n"
      "try:\n"
      "    root = E.parse(sys.argv[1]).getroot()\n"
      "except E.ParseError:\n"
      "    print(json.dumps({'': -1})); sys.exit(0)\n"
      "counts = collections.Counter()\n"
      "for element in root.iter():\n"
      "    for name in element.get('class', '').split():\n"
      "        counts[name] += 1\n"
      "print(json.dumps(counts))\n";
  std::ofstream(".svg_counts.py") << kScript;
  const std::string out = RunProgram({"/usr/bin/env", "python3", ".svg_counts.py", svg_path}).out;
  std::remove(".svg_counts.py");
  return out;
}
#endif

}  // namespace railfmt::testing
