// Until the Toada engine is built, it never starts, and speech stays on
// the built-in voice.
#include "tts/snfonserv.h"

bool ToadaStart(int, int, int, const std::string&) { return false; }
void ToadaEnd() {}
void ToadaSpeak(const std::string&) {}
bool ToadaBusy() { return false; }
void ToadaStop() {}
