// The real executable run in hostile directories (POSIX): under a shell
// with limits, with the probe library preloaded, as another user.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace railfmt::testing {

// A word for the shell, quoted.
std::string Quoted(const std::string& s);

// Runs the tool in dir with the given command prefix; returns its exit
// status (124 when it had to be stopped after a minute: it hung).
int RunTool(const std::string& dir, const std::string& prefix = "", const std::string& binary = RAILFMT_BINARY);

// The same under a limit the shell sets first ("ulimit -f 2", "umask 022").
int RunToolUnder(const std::string& dir, const std::string& limit);

// The command prefix that preloads the probe library
// (tests/support/io_probe.cpp), driven by the environment given as
// "NAME=value ...".
std::string Probed(const std::string& environment);

// Whether this build runs under the address sanitizer, before whose runtime
// the probe cannot be preloaded and whose memory use no limit allows.
bool Sanitized();

std::string Text(const std::vector<std::uint8_t>& bytes);

// Runs the tool as an unprivileged user: root switches to "nobody" with
// setpriv (util-linux) and runs a copy of the tool that user may execute, as
// the build tree may be closed to others; anyone else runs as themselves,
// for whom permissions already bite.
class Unprivileged {
 public:
  Unprivileged();
  ~Unprivileged();
  Unprivileged(const Unprivileged&) = delete;
  Unprivileged& operator=(const Unprivileged&) = delete;

  // Why the cases cannot run; empty when they can.
  const std::string& why_not() const { return why_not_; }
  uid_t uid() const { return uid_; }
  gid_t gid() const { return gid_; }

  // Hands the directory and everything in it to the user.
  void GiveAway(const std::string& dir) const;
  int Run(const std::string& dir) const;

 private:
  std::string why_not_;
  std::string prefix_;
  std::string tool_dir_;
  uid_t uid_ = 0;
  gid_t gid_ = 0;
};

}  // namespace railfmt::testing
