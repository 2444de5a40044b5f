#include "tests/tools/railinspect/inspect_runner.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "tests/support/scratch_dir.h"

namespace railfmt::testing {

nlohmann::json InspectRun::Json() const { return nlohmann::json::parse(out, nullptr, false); }

InspectRun RunInspect(const std::string& args) {
  InspectRun run;
  const std::string err_file = ".railinspect-stderr";  // hidden: the tool passes over it
  run.out = RunCommand(std::string("'") + RAILINSPECT_BINARY + "' " + args + " 2>" + err_file, &run.status);
  std::ifstream in(err_file);
  run.err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  std::remove(err_file.c_str());
  return run;
}

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
  const std::string out = RunCommand("python3 .svg_counts.py '" + svg_path + "'");
  std::remove(".svg_counts.py");
  return out;
}

}  // namespace railfmt::testing
