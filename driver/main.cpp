// railfmt: validates and rewrites, in one batch, every file of the working
// directory. The command line is ignored and the exit status is always 0,
// unless a signal ends the run (then the signal's own status).
#include <cstdio>

#include "driver/batch_driver.h"
#include "driver/directory.h"
#include "driver/interruption.h"

// The version, for `strings railfmt`: the tool itself never prints it.
[[gnu::used]] static const char kVersion[] = "railfmt " RAILFMT_VERSION;

int main() {
  // Mismatch lines are the only output; buffer them in large blocks.
  static char buffer[1 << 16];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  railfmt::InstallInterruptionHandlers();
  if (const auto directory = railfmt::OpenDirectory(".")) railfmt::RunBatch(*directory);
  return 0;
}
