// The command line: Selenor itself takes none; --help and --version answer
// on stdout, anything else is refused.
#pragma once

// True when the program must end at once with exitCode.
bool HandleCommandLine(int argc, char** argv, int& exitCode);
