// toada-say speaking: the text through the Toada engine and MBROLA, to the
// audio back end (SONARIS_AUDIO) or into a WAV file of the engine's own.
#pragma once
#include <string>

// text is Windows-1252; voice "" keeps the settings' voice; wavFile ""
// speaks aloud. Returns the program's exit status.
int SpeakWithToada(const std::string& text, const std::string& voice, const std::string& wavFile);
