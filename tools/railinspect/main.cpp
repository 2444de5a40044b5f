// railinspect PATH...: tells, for every file, which kind it is and under
// which name railfmt would write it, or why no kind accepts it; --json dumps
// the report and the full content of every recognised file; --svg OUT draws
// one file. Exit status: 0 all recognised, 1 not all, 2 usage error.
#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "driver/windows_names.h"
#include "tools/railinspect/run.h"
#include "tools/railinspect/version.h"

namespace {

// The arguments after the program name, in UTF-8.
#ifdef _WIN32
std::vector<std::string> Arguments(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(railfmt::Utf16ToUtf8(reinterpret_cast<const char16_t*>(argv[i])));
  return args;
}
#else
std::vector<std::string> Arguments(int argc, char** argv) { return {argv + 1, argv + argc}; }
#endif

}  // namespace

// Windows hands the arguments over in UTF-16 to wmain. Standard output
// stays in text mode there: every line ends in "\r\n".
#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
#else
int main(int argc, char** argv) {
#endif
  railfmt::inspect::Options options;
  CLI::App app{
      "Explains, dumps and draws the files railfmt reads: models (.mod), rolling stock (.rol),\n"
      "construction drawings (.kon) and layouts (.anl). Writes nothing but the picture asked for.",
      "railinspect"};
  app.add_option("PATH", options.paths,
                 "Files or directories to inspect; a directory stands for the entries railfmt would visit in it")
      ->required();
  app.add_flag("--json", options.json, "Print one JSON document: the report and the content of every recognised file");
  app.add_option("--svg", options.svg_path, "Draw the one file given as PATH into the SVG file OUT")->type_name("OUT");
  app.set_version_flag("--version", std::string("railinspect ") + railfmt::inspect::kRailinspectVersion);
  try {
    // CLI11 takes the arguments last first.
    const std::vector<std::string> args = Arguments(argc, argv);
    app.parse(std::vector<std::string>(args.rbegin(), args.rend()));
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    return status == 0 ? 0 : railfmt::inspect::kExitUsage;
  }
  return railfmt::inspect::RunInspector(options);
}
