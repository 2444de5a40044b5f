// railfmt: validates and rewrites, in one batch, every file of the working
// directory. The command line is ignored and the exit status is always 0,
// unless a signal ends the run (then the signal's own status).
#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "driver/batch_driver.h"
#include "driver/directory.h"
#include "driver/interruption.h"

// The version, for `strings railfmt`: the tool itself never prints it.
[[gnu::used]] static const char kVersion[] = "railfmt " RAILFMT_VERSION;

int main() {
#ifdef _WIN32
  // The bytes written are the bytes that arrive: the mismatch writer ends
  // each line in "\r\n" itself.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  // Mismatch lines are the only output; buffer them in large blocks.
  static char buffer[1 << 16];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  railfmt::InstallInterruptionHandlers();
  if (const auto directory = railfmt::OpenDirectory(".")) railfmt::RunBatch(*directory);
  return 0;
}
