// railinspect [OPTIONS] PATH...: tells, for every file, which kind it is and
// what railfmt would do with it, or why no kind accepts it; dumps reports as
// JSON, draws one file as SVG. Exit status: see run.h and --help.
#include <CLI/CLI.hpp>

#include <cstdlib>
#include <string>
#include <vector>

#include "driver/windows_names.h"
#include "inspect/version.h"
#include "tools/railinspect/run.h"

namespace {

constexpr const char* kFooter =
    "Exit status:\n"
    "  0  every file was recognised (--check: railfmt would write no file)\n"
    "  1  a file was not recognised or could not be read, or the picture failed\n"
    "     (--check: railfmt would change, replace or create a file)\n"
    "  2  usage error (--check: also a PATH that cannot be read)\n"
    "  With --rescue: 0 the rescued file was written, or the file needs no rescue;\n"
    "  1 nothing was written; 2 usage error.\n"
    "\n"
    "Rescue:\n"
    "  --rescue FILE takes the kind a damaged FILE most likely is (or --as KIND) and keeps\n"
    "  every record that reads whole before the damage: a model's parts with the point,\n"
    "  primitive and format lists read, rolling stock's whole models, a drawing's points,\n"
    "  primitives, formats and lines, a layout's tracks, placed models and vehicles, and\n"
    "  the blocks, properties and trailers it read.\n"
    "  It cannot keep what lies after the damage, nor the damaged record itself; fixed\n"
    "  parts that were lost are written as a new, empty file has them (a rolling stock's\n"
    "  info block always: its name becomes the rescued file's). The result goes to\n"
    "  NAME.rescued.EXT beside FILE (or OUT), never over FILE; an existing file is replaced\n"
    "  only with --force. It is written only after railfmt's own reader read it back and\n"
    "  found it in normal form, whole or not at all. The original is never changed.\n"
    "\n"
    "Examples:\n"
    "  railinspect broken.mod                   why railfmt leaves broken.mod alone\n"
    "  railinspect --check --quiet .            what a run of railfmt here would change\n"
    "  railinspect --jsonl --no-content . | jq -r 'select(.recognised|not).path'\n"
    "  railinspect --svg - layout.anl > layout.svg\n"
    "  railinspect --rescue broken.anl          writes broken.rescued.anl with what it still holds";

// The option a parse error is about, in the parser's words.
std::string ParseErrorText(const CLI::ParseError& error) {
  std::string text = error.what();
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

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
      "Explains the files railfmt reads (models .mod, rolling stock .rol, construction drawings .kon,\n"
      "layouts .anl), says what railfmt would do with each, dumps them as JSON and draws them as SVG.\n"
      "Writes no file but the picture or the rescued file asked for.",
      "railinspect"};
  app.footer(kFooter);
  app.add_option("PATH", options.paths,
                 "Files or directories (a directory: the entries railfmt would visit in it); - reads standard input")
      ->required();
  app.add_flag("--json", options.json, "Print one JSON document: the reports and every recognised file's content");
  app.add_flag("--jsonl", options.jsonl, "Print one JSON document per file and line, as soon as the file is done");
  bool no_content = false;
  app.add_flag("--no-content", no_content, "Leave the content of the files out of the JSON");
  app.add_option("--svg", options.svg_path, "Draw the one file given as PATH into OUT (- for standard output)")
      ->type_name("OUT");
  app.add_flag("--check", options.check,
               "List the files railfmt would change, replace or create; exit 1 when there is one");
  app.add_flag("--all", options.all, "Show every kind tried on a rejected file in full, not one line each");
  app.add_flag("--changes", options.changes, "List every change railfmt makes to a file, one line each");
  app.add_flag("--strict", options.strict, "With --check: a file with a warning fails the check too");
  app.add_flag("-q,--quiet", options.quiet, "Show only files that are not recognised or that railfmt would write");
  std::string colour = "auto";
  app.add_option("--color", colour, "Colour the text report: auto (on a terminal without NO_COLOR), always, never")
      ->check(CLI::IsMember({"auto", "always", "never"}))
      ->type_name("WHEN");
  app.add_flag("--rescue", options.rescue,
               "Write what the one damaged FILE given as PATH still holds to NAME.rescued.EXT beside it (see "
               "Rescue below)");
  app.add_option("-o,--output", options.rescue_output,
                 "With --rescue: write the rescued file to OUT (a file, or a directory to put it in)")
      ->type_name("OUT");
  app.add_option("--as", options.rescue_as,
                 "With --rescue: rescue it as KIND (model, rolling_stock, construction_drawing, layout, or their "
                 "extensions) instead of the kind it most likely is")
      ->type_name("KIND");
  app.add_flag("--force", options.force, "With --rescue: replace an existing rescued file");
  app.set_version_flag("-V,--version", std::string("railinspect ") + railfmt::inspect::kRailinspectVersion);
  try {
    // CLI11 takes the arguments last first.
    const std::vector<std::string> args = Arguments(argc, argv);
    app.parse(std::vector<std::string>(args.rbegin(), args.rend()));
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForVersion& version) {
    return app.exit(version);
  } catch (const CLI::ParseError& error) {
    return railfmt::inspect::UsageError(ParseErrorText(error));
  }
  options.content = !no_content;
  options.colour = colour == "always"  ? railfmt::inspect::ColourMode::kAlways
                   : colour == "never" ? railfmt::inspect::ColourMode::kNever
                                       : railfmt::inspect::ColourMode::kAuto;
  const railfmt::inspect::Words words(railfmt::inspect::LanguageOfEnvironment(
      std::getenv("LANGUAGE"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG")));
  return railfmt::inspect::RunInspector(options, words);
}
