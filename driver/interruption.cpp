#include "driver/interruption.h"

#include <csignal>
#include <cstdlib>

#include "driver/diagnostics.h"

namespace railfmt {
namespace {

volatile std::sig_atomic_t g_signal = 0;

extern "C" void NoteSignal(int signal) { g_signal = signal; }

}  // namespace

void InstallInterruptionHandlers() {
  std::signal(SIGINT, &NoteSignal);
  std::signal(SIGTERM, &NoteSignal);
#ifdef SIGHUP
  std::signal(SIGHUP, &NoteSignal);
#endif
#ifdef SIGXFSZ
  std::signal(SIGXFSZ, SIG_IGN);
#endif
#ifdef SIGPIPE
  std::signal(SIGPIPE, SIG_IGN);
#endif
}

bool Interrupted() { return g_signal != 0; }

void EndForInterruption() {
  FlushMismatchOutput();
  const int signal = g_signal;
  std::signal(signal, SIG_DFL);
  std::raise(signal);
  std::_Exit(128 + signal);
}

}  // namespace railfmt
