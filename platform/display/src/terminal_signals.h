// Puts the terminal back the way it was on every way out of the program:
// normal exit, std::exit, and every signal whose default action ends the
// process. A stop (SIGTSTP) leaves the terminal as it was found; going on
// (SIGCONT) takes it back and asks for the whole screen to be drawn again.
#pragma once
#include <termios.h>

namespace platform {

struct TerminalModes {
  const termios* saved = nullptr;  // to restore on stdin (nullptr: no terminal)
  const termios* raw = nullptr;    // to take it back with after a stop
  const char* enter = "";          // written to stdout to take the screen (copied)
  const char* leave = "";          // written to stdout to leave it (copied)
};

// repaintFd: written to (one byte, 'R') when the terminal changes size or
// the program goes on after a stop. While installed, what the program
// writes to stderr is held back in a file (it would land on top of the
// cells) and written out on restore; holdStderr false leaves stderr alone.
void TerminalSignalsInstall(const TerminalModes& modes, int repaintFd, bool holdStderr);
// Restores now (async-signal-safe; harmless when already restored).
void TerminalSignalsRestore();
// Restores and puts the previous signal handlers back.
void TerminalSignalsRemove();

}  // namespace platform
