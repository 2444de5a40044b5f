// railinspect [OPTIONS] PATH...: tells, for every file, which kind it is and
// what railfmt would do with it, or why no kind accepts it; dumps reports as
// JSON, draws one file as SVG. Exit status: see run.h and --help.
#include <cstdio>
#include <string>
#include <vector>

#include "driver/windows_names.h"
#include "inspect/version.h"
#include "inspect/words.h"
#include "tools/railinspect/arguments.h"
#include "tools/railinspect/files.h"
#include "tools/railinspect/run.h"

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

int Run(const std::vector<std::string>& args, const railfmt::inspect::Words& words,
        const railfmt::inspect::ConsoleSession& console) {
  using railfmt::inspect::CommandLine;
  // Started with nothing to look at in a window of its own: the program was
  // double-clicked.
  if (args.empty() && console.alone()) {
    const std::string guide = words.Say(
        "railinspect checks the files of a model-railway planning program without changing them. Drag a file "
        "or a folder onto railinspect.exe to see what it holds and what railfmt would do with it.");
    railfmt::inspect::WriteOut(stdout, guide + "\n");
    return railfmt::inspect::kExitUsage;
  }
  const CommandLine line = railfmt::inspect::ParseCommandLine(args, words);
  switch (line.request) {
    case CommandLine::Request::kHelp: railfmt::inspect::WriteOut(stdout, railfmt::inspect::HelpText(words)); return 0;
    case CommandLine::Request::kVersion:
      railfmt::inspect::WriteOut(stdout, std::string("railinspect ") + railfmt::inspect::kRailinspectVersion + "\n");
      return 0;
    case CommandLine::Request::kUsageError: return railfmt::inspect::UsageError(line.problem, words);
    case CommandLine::Request::kRun: break;
  }
  return railfmt::inspect::RunInspector(line.options, words);
}

}  // namespace

// Windows hands the arguments over in UTF-16 to wmain. Standard output
// stays in text mode there: every line ends in "\r\n".
#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
#else
int main(int argc, char** argv) {
#endif
  const railfmt::inspect::ConsoleSession console;
  const railfmt::inspect::Words words(railfmt::inspect::UserLanguage());
  const int status = Run(Arguments(argc, argv), words, console);
  std::fflush(stdout);
  console.WaitForEnter(words.Say("Press Enter to close this window."));
  return status;
}
