// Puts the terminal back the way it was on every way out of the program:
// normal exit, std::exit, termination signals and fatal signals.
#pragma once
#include <termios.h>

namespace platform {

// saved: the modes to restore on stdin (nullptr when stdin is no terminal).
// leave: what to write to stdout to leave the program's screen (copied).
// resizeFd: written to (one byte) when the terminal changes size.
// While installed, what the program writes to stderr is held back in a
// file (it would land on top of the cells) and written out on restore;
// holdStderr false leaves stderr alone.
void TerminalSignalsInstall(const termios* saved, const char* leave, int resizeFd,
                            bool holdStderr);
// Restores now (async-signal-safe; harmless when already restored).
void TerminalSignalsRestore();
// Restores and puts the previous signal handlers back.
void TerminalSignalsRemove();

}  // namespace platform
