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
  // --rescue: the one path's rescue, written to rescue_output (a file or a
  // directory; empty: beside it), rescued as the kind rescue_as names
  // (empty: the most likely); force: over an existing file.
  bool rescue = false;
  std::string rescue_output;
  std::string rescue_as;
  bool force = false;
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

// Prints "railinspect: what" and the hint to --help on standard error, in
// the words' language; returns kExitUsage.
int UsageError(const std::string& what, const Words& words);

// Prints "railinspect: path: reason" on standard error, both shown as
// TerminalText shows them.
void PrintError(const std::string& path, const std::string& reason);

// railinspect --rescue (rescue_run.cpp). Returns the exit status:
//   0  the rescued file was written, or the file needs no rescue;
//   1  nothing was written: nothing to rescue, the rescue would not pass
//      railfmt, the output exists (without force) or cannot be written, or
//      the file cannot be read;
//   2  a request that cannot be carried out as given (not one FILE, a
//      directory, an unknown kind, an output that is the file itself).
int RunRescue(const Options& options, const Words& words);

}  // namespace railfmt::inspect
