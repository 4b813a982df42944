// The message box of the Toada loaders: the text goes to stderr and, when
// the program has set a screen writer (the console), onto the screen too.
#pragma once
#include <string>

using MessageBoxScreen = void (*)(const std::string& text);

// text is Windows-1252.
void ShowMessageBox(const std::string& text);
// nullptr: stderr only (the default, as for the command-line tools).
void SetMessageBoxScreen(MessageBoxScreen screen);
