#include "tests/tools/railinspect/inspect_runner.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "tools/samples/sample_files.h"
#include "tests/support/run_program.h"
#include "tests/support/scratch_dir.h"

namespace railfmt::testing {

std::vector<std::uint8_t> Sample(const std::string& name) {
  for (const SampleFile& f : MakeSampleFiles()) {
    if (f.name == name) return f.bytes;
  }
  throw std::logic_error("no sample " + name);
}

nlohmann::json InspectRun::Json() const { return nlohmann::json::parse(out, nullptr, false); }

std::vector<nlohmann::json> InspectRun::Lines() const {
  std::vector<nlohmann::json> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line, nullptr, false));
  return lines;
}

InspectRun RunInspect(const std::string& args) {
  InspectRun run;
  const std::string err_file = ".railinspect-stderr";  // hidden: the tools pass over it
  run.out = RunCommand(std::string("'") + RAILINSPECT_BINARY + "' " + args + " 2>" + err_file, &run.status);
  std::ifstream in(err_file);
  run.err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  std::remove(err_file.c_str());
  return run;
}

int RunMeasured(const std::vector<std::string>& argv, const std::string& out_path, long& peak_bytes) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    const int fd = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::dup2(fd, STDOUT_FILENO) < 0) ::_exit(127);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (child < 0 || ::wait4(child, &status, 0, &usage) != child) return -1;
  peak_bytes = usage.ru_maxrss * 1024L;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string SvgClassCountsJson(const std::vector<std::string>& svg_paths) {
  static const char* const kScript =
      "import collections, json, sys, xml.etree.ElementTree as E\n"
      "def counts(path):\n"
      "    try:\n"
      "        root = E.parse(path).getroot()\n"
      "    except E.ParseError:\n"
      "        return {'': -1}\n"
      "    counts = collections.Counter()\n"
      "    def walk(element):\n"
      "        names = element.get('class', '').split()\n"
      "        if 'legend' in names: return\n"
      "        titled = any(c.tag.endswith('title') for c in element)\n"
      "        for name in names:\n"
      "            counts[name] += 1\n"
      "            counts[name + ' titled'] += titled\n"
      "        for child in element: walk(child)\n"
      "    walk(root)\n"
      "    return counts\n"
      "print(json.dumps({path: counts(path) for path in sys.argv[1:]}))\n";
  std::ofstream(".svg_counts.py") << kScript;
  std::string command = "python3 .svg_counts.py";
  for (const std::string& path : svg_paths) command += " '" + path + "'";
  const std::string out = RunCommand(command);
  std::remove(".svg_counts.py");
  return out;
}

}  // namespace railfmt::testing
