// The module's voices on the UI thread: Toada with an MBROLA voice, or the
// built-in diphone voice, speaking pieces of a message. A key in the
// console's queue stops them, as it stops Selenor's speech: the protocol
// reader turns STOP into one.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "programs/sd_sonaris/protocol.h"

namespace sd {

enum class Outcome { Ended, Stopped, Paused, Failed };

// Starts the built-in voice and the default Toada voice; the voices that
// can speak, and why the others cannot (UTF-8, "" when all can).
std::string StartVoices(std::vector<const Voice*>& available);
void EndVoices();

// Called with each mark when its place has been reached; returns true when
// speech is to pause there.
using MarkReached = std::function<bool(const std::string& mark)>;

// Settings apply to the next message. Failed: the voice broke mid-message
// (why goes to the log); the next message opens it again.
Outcome SpeakPieces(const std::vector<Piece>& pieces, const Settings& s, const MarkReached& mark);
Outcome SpeakCharacter(const std::string& utf8, const Settings& s);
Outcome SpeakKey(const std::string& key, const Settings& s);
Outcome PlayIcon();

// Why the last Failed happened (UTF-8).
std::string VoiceError();
// Throws away the keys that stood for a STOP.
void ForgetStops();

}  // namespace sd
