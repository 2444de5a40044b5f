#include "tests/reliability/hostile_runs_posix.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/run_program.h"

namespace railfmt::testing {

namespace fs = std::filesystem;

std::string Quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

int RunTool(const std::string& dir, const std::string& prefix, const std::string& binary) {
  int status = -1;
  RunCommand("cd " + Quoted(dir) + " && timeout 60 " + prefix + Quoted(binary) + " >/dev/null 2>&1", &status);
  return status;
}

int RunToolUnder(const std::string& dir, const std::string& limit) {
  return RunTool(dir, "sh -c '" + limit + " && exec \"$0\"' ");
}

std::string Probed(const std::string& environment) {
  return "env LD_PRELOAD=" + Quoted(RAILFMT_IO_PROBE) + " " + environment + " ";
}

bool Sanitized() {
#if defined(__SANITIZE_ADDRESS__)
  return true;
#elif defined(__has_feature)
  return __has_feature(address_sanitizer);
#else
  return false;
#endif
}

std::string Text(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

Unprivileged::Unprivileged() {
  if (::geteuid() != 0) return;
  const passwd* pw = ::getpwnam("nobody");
  int status = -1;
  if (pw != nullptr) RunCommand("command -v setpriv >/dev/null", &status);
  if (status != 0) {
    why_not_ = "runs as root and cannot switch to 'nobody' with setpriv";
    return;
  }
  uid_ = pw->pw_uid;
  gid_ = pw->pw_gid;
  prefix_ = "setpriv --reuid=nobody --regid=" + std::to_string(gid_) + " --clear-groups ";
  tool_dir_ = (fs::temp_directory_path() / ("railfmt-tool-" + std::to_string(::getpid()))).string();
  std::error_code ec;
  fs::create_directories(tool_dir_, ec);
  fs::copy_file(RAILFMT_BINARY, tool_dir_ + "/railfmt", fs::copy_options::overwrite_existing, ec);
  ::chmod(tool_dir_.c_str(), 0755);
  ::chmod((tool_dir_ + "/railfmt").c_str(), 0755);
  if (ec) why_not_ = "cannot copy the tool: " + ec.message();
}

Unprivileged::~Unprivileged() {
  std::error_code ec;
  if (!tool_dir_.empty()) fs::remove_all(tool_dir_, ec);
}

void Unprivileged::GiveAway(const std::string& dir) const {
  if (::geteuid() != 0) return;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) ::lchown(entry.path().c_str(), uid_, gid_);
  ::lchown(dir.c_str(), uid_, gid_);
}

int Unprivileged::Run(const std::string& dir) const {
  return RunTool(dir, prefix_, tool_dir_.empty() ? RAILFMT_BINARY : tool_dir_ + "/railfmt");
}

}  // namespace railfmt::testing
