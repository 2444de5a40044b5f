// Interruption of a run by SIGINT, SIGTERM or SIGHUP.
//
// The handler only notes the signal. The batch looks at the note at points
// where stopping leaves nothing behind: between entries, and in a store
// after each write and before the swap, where it removes its temporary
// first. It then flushes the mismatch lines already produced and ends the
// process with the signal's usual status, as if the handler were not there.
#pragma once

namespace railfmt {

// Installs the handlers. A file-size limit (SIGXFSZ) is ignored as well, so
// that a write beyond it fails like a full disk instead of ending the run;
// and so is a reader of standard output that went away (SIGPIPE): the
// lines are lost, but the run goes on over every entry.
void InstallInterruptionHandlers();

// Whether a signal came since the handlers were installed.
bool Interrupted();

// Flushes the mismatch lines and ends the process by the signal that came.
[[noreturn]] void EndForInterruption();

}  // namespace railfmt
