// railinspect's command line: options and paths in any order, as GNU
// programs take them ("--svg OUT" or "--svg=OUT"; "--" ends the options, so
// that a file named "-x" can still be given), its help and its usage
// errors, in the user's language.
#pragma once

#include <string>
#include <vector>

#include "inspect/words.h"
#include "tools/railinspect/run.h"

namespace railfmt::inspect {

struct CommandLine {
  enum class Request { kRun, kHelp, kVersion, kUsageError };
  Request request = Request::kRun;
  Options options;
  std::string problem;  // kUsageError: what is wrong, in the words' language
};

// --help and --version win over everything else given with them; the
// first problem met otherwise makes a usage error.
CommandLine ParseCommandLine(const std::vector<std::string>& args, const Words& words);

// What --help prints: the usage, what the program does, every option, the
// exit statuses and examples, wrapped to 80 columns.
std::string HelpText(const Words& words);

}  // namespace railfmt::inspect
