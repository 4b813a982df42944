// sonaris-say --wav: the speech written to a WAV file (or standard output)
// as fast as it is made, in the built-in voice's format, with the pauses
// the speech front end makes turned into silence.
#pragma once
#include <string>

// Opens the file ("-": standard output) and takes the place of the sound
// device and of the pause clock. False when the file cannot be written.
bool RenderStart(const std::string& path);
// Writes the true lengths into the header when the file allows it; false
// when anything could not be written.
bool RenderEnd();
