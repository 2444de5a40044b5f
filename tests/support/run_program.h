// Test support: runs a program with an argument list, never through a
// shell, on POSIX (posix_spawn) and on Windows (CreateProcessW, with the
// arguments quoted into the one command line Windows passes, the way the C
// runtime splits it again).
#pragma once

#include <string>
#include <vector>

namespace railfmt::testing {

// Whether the programs are built with the address sanitizer, which reserves
// terabytes of address space and keeps freed memory in quarantine: no memory
// bound or address space limit holds for a program under it, and no library
// can be preloaded before its runtime.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
inline constexpr bool kAddressSanitizer = __has_feature(address_sanitizer);
#else
inline constexpr bool kAddressSanitizer = false;
#endif

struct ProgramRun {
  int status = -1;  // the exit status; -1 when the program did not exit normally
  std::string out;  // standard output, byte for byte
  std::string err;  // standard error
};

// Runs argv[0] (on POSIX searched in PATH when it names no directory) with
// argv (UTF-8) in the directory cwd ("" for the current one) and waits for
// it.
ProgramRun RunProgram(const std::vector<std::string>& argv, const std::string& cwd = "");

// Standard output in the platform's text convention with each line end
// made "\n". On Windows, where lines end in "\r\n", a bare "\n" becomes
// "<LF>", so that a comparison sees it.
std::string WithUnixLineEnds(const std::string& text);

#ifndef _WIN32
// Runs a command with /bin/sh and gives its standard output (POSIX tests
// that need the shell's redirections and limits).
std::string RunCommand(const std::string& command, int* exit_status = nullptr);
#endif

}  // namespace railfmt::testing
