// toada-say speaking: the text through the Toada engine and MBROLA, to the
// audio back end (SONARIS_AUDIO) or into a WAV file of the engine's own.
#pragma once
#include <functional>
#include <string>

// The text comes from more, a piece at a time (Windows-1252; false at its
// end); voice "" keeps the settings' voice; wavFile "" speaks aloud, "-"
// streams the WAV to standard output. Returns the program's exit status.
int SpeakWithToada(const std::function<bool(std::string&)>& more, const std::string& voice,
                   const std::string& wavFile);
