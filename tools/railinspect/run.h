// railinspect's run, behind its command-line parser: finds the files the
// paths stand for, has the core inspect each one with what railfmt would do
// in its directory, and prints each report as soon as it is done (text,
// one JSON document, or JSON Lines); draws the picture asked for. It writes
// no file but the picture.
#pragma once

#include <string>
#include <vector>

#include "inspect/words.h"

namespace railfmt::inspect {

enum class ColourMode { kAuto, kAlways, kNever };

struct Options {
  std::vector<std::string> paths;  // "-": standard input
  bool json = false;
  bool jsonl = false;
  bool content = true;
  bool check = false;
  bool strict = false;   // with check: a warning fails the check too
  bool changes = false;  // list every change normalising makes
  bool all = false;
  bool quiet = false;
  ColourMode colour = ColourMode::kAuto;
  std::string svg_path;  // empty: no picture; "-": standard output
};

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFound = 1;
inline constexpr int kExitUsage = 2;

// Returns the exit status:
//   0  every file was recognised (and the picture written); with check:
//      railfmt would write no file;
//   1  a file was not recognised or could not be read, or the picture could
//      not be written; with check: railfmt would change, replace or create
//      a file (with strict, also: a file has a warning);
//   2  a request that cannot be carried out as given (a picture of anything
//      but one file, or one that would replace the file it shows; --json
//      with --jsonl; "-" twice); with check, also a PATH that cannot be read.
// Reports speak the language of words.
int RunInspector(const Options& options, const Words& words);

// Prints "railinspect: what" and the hint to --help on standard error;
// returns kExitUsage.
int UsageError(const std::string& what);

}  // namespace railfmt::inspect
