#include "tests/support/run_program.h"

#include <cstdio>
#include <stdexcept>
#include <thread>

#ifdef _WIN32
#include <windows.h>

#include "driver/windows_names.h"
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
extern char** environ;
#endif

namespace railfmt::testing {

std::string WithUnixLineEnds(const std::string& text) {
#ifdef _WIN32
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i] == '\n' && (i == 0 || text[i - 1] != '\r') ? std::string("<LF>") : std::string(1, text[i]);
  }
  return out;
#else
  return text;
#endif
}

#ifdef _WIN32
namespace {

// One argument in the form the Windows C runtime reads back unchanged.
std::string QuoteWindowsArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) return argument;
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes are literal unless a quote follows them.
    out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    out.push_back(c);
  }
  out.append(2 * backslashes, '\\');
  out.push_back('"');
  return out;
}

std::wstring Wide(const std::string& utf8) {
  const std::optional<std::u16string> text = Utf8ToUtf16(utf8);
  if (!text) throw std::runtime_error("not UTF-8: " + utf8);
  return {text->begin(), text->end()};
}

std::string Drain(HANDLE pipe) {
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  CloseHandle(pipe);
  return text;
}

}  // namespace

ProgramRun RunProgram(const std::vector<std::string>& argv, const std::string& cwd) {
  std::string line;
  for (const std::string& argument : argv) line += (line.empty() ? "" : " ") + QuoteWindowsArgument(argument);
  std::wstring command = Wide(line);
  const std::wstring application = Wide(argv.at(0));
  const std::wstring directory = Wide(cwd);

  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out_read = nullptr, out_write = nullptr, err_read = nullptr, err_write = nullptr;
  if (!CreatePipe(&out_read, &out_write, &inherit, 0) || !CreatePipe(&err_read, &err_write, &inherit, 0)) {
    throw std::runtime_error("CreatePipe failed");
  }
  SetHandleInformation(out_read, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(err_read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out_write;
  startup.hStdError = err_write;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(application.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      cwd.empty() ? nullptr : directory.c_str(), &startup, &process);
  const DWORD error = GetLastError();
  CloseHandle(out_write);
  CloseHandle(err_write);
  ProgramRun run;
  std::thread err_reader([&] { run.err = Drain(err_read); });
  run.out = Drain(out_read);
  err_reader.join();
  if (!started) throw std::runtime_error("CreateProcessW failed: " + std::to_string(error) + " for " + argv[0]);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  run.status = static_cast<int>(code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}
#else
namespace {

std::string Drain(int fd) {
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return text;
}

}  // namespace

ProgramRun RunProgram(const std::vector<std::string>& argv, const std::string& cwd) {
  int out[2];
  int err[2];
  if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
  std::vector<char*> args;
  for (const std::string& argument : argv) args.push_back(const_cast<char*>(argument.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  ::close(err[1]);
  ProgramRun run;
  std::thread err_reader([&] { run.err = Drain(err[0]); });
  run.out = Drain(out[0]);
  err_reader.join();
  if (spawned != 0) throw std::runtime_error("posix_spawn failed for " + argv.at(0));
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string RunCommand(const std::string& command, int* exit_status) {
  const ProgramRun run = RunProgram({"/bin/sh", "-c", command});
  std::fwrite(run.err.data(), 1, run.err.size(), stderr);
  if (exit_status != nullptr) *exit_status = run.status;
  return run.out;
}
#endif

}  // namespace railfmt::testing
