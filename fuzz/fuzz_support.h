// What every fuzz target shares: its own scratch folder, files written
// from the input, and the program's world with a headless console and an
// audio device that takes every block at once.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// A folder of this process's own, made on first use.
const std::string& ScratchDir();
// Writes the input to ScratchDir()/name and returns its path.
std::string WriteInput(const std::string& name, const uint8_t* data, size_t size);
// The input as Windows-1252 text, stopping at the first zero byte.
std::string Text(const uint8_t* data, size_t size);
// Opens the headless console once, with the instant audio device and the
// settings folder in the scratch folder (no SONARIS.INI of the user's).
void UseHeadlessWorld();

}  // namespace fuzz
