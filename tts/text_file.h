// Reading the Toada database files: a path as the settings write it, lines
// without their line ends, Windows-1252 text (a file saved as UTF-8 is
// converted).
#pragma once
#include <string>
#include <vector>

bool ReadTextLines(const std::string& path, std::vector<std::string>& lines);
