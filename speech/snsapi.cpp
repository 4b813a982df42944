// The voice dispatcher. Each kind of back end is one row of a table, so
// the front end never names a back end itself.
#include "speech/snsapi.h"

#include <exception>

#include "console/snwin.h"
#include "sapi/snsapi4.h"
#include "sapi/snsapi5.h"
#include "sapi/voice_notice.h"
#include "speech/sncrt.h"
#include "tts/snfonserv.h"

namespace {

struct VoiceBackEnd {
  int kind;
  bool (*start)(int voice, int speed, int pitch, const std::string& file);
  void (*end)();
  void (*speak)(const std::string& text);
  bool (*busy)(int waitFlag);
  void (*stop)();
  bool (*failed)();  // the voice broke down mid-text; nullptr: never
};

// SAPI 5 back ends take no pitch, and only SAPI 4 looks at the wait flag.
const VoiceBackEnd BackEnds[] = {
    {3,
     [](int v, int s, int p, const std::string& f) {
       ToadaLoadSettings(ReadConfig);
       return ToadaStart(v, s, p, f);
     },
     ToadaEnd, ToadaSpeak, [](int) { return ToadaBusy(); }, ToadaStop, ToadaFailed},
    {5, [](int v, int s, int, const std::string& f) { return Sapi5Start(v, s, f); },
     Sapi5End, Sapi5Speak, [](int) { return Sapi5Busy(); }, Sapi5Stop, Sapi5Failed},
    {54, [](int v, int s, int, const std::string& f) { return Sapi54Start(v, s, f); },
     Sapi54End, Sapi54Speak, [](int) { return Sapi54Busy(); }, Sapi54Stop, Sapi54Failed},
};

const VoiceBackEnd Sapi4BackEnd = {
    4, [](int v, int s, int p, const std::string& f) { return Sapi4Start(v, s, p, f); },
    Sapi4End, Sapi4Speak, Sapi4Busy, Sapi4Stop, nullptr};

const VoiceBackEnd& Current() {
  for (const VoiceBackEnd& b : BackEnds)
    if (b.kind == VoiceKind) return b;
  return Sapi4BackEnd;
}

}  // namespace

// A back end that cannot start says why, once, at the front end's next
// speech (the reason is on stderr already): start-up goes straight on.
bool VoiceStart(int voice, int speed, int pitch, const std::string& outputFile, int kind) {
  VoiceKind = kind;
  bool ready = false;
  // Whatever a back end raises while starting, the program goes on with
  // the built-in voice.
  try {
    ready = Current().start(voice, speed, pitch, outputFile);
  } catch (const std::exception& e) {
    ReportVoiceFailure("A voz externa", "A voz externa", e.what());
  }
  // Let whatever the voice says on opening finish first.
  if (ready)
    while (VoiceBusy(1)) Delay(50);
  return ready;
}

void VoiceEnd() { Current().end(); }
void VoiceSpeak(const std::string& text) { Current().speak(text); }
void VoiceStop() { Current().stop(); }
bool VoiceFailed() { return Current().failed && Current().failed(); }

bool VoiceBusy(int waitFlag) {
  PumpMessages();
  return Current().busy(waitFlag);
}
