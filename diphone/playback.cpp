// Speaking a phonetic string: the sound goes to the device that the speech
// front end installs at its start (the wave-out device); without one it is
// discarded.
#include "diphone/diphone.h"
#include "diphone/sound.h"

namespace {

SoundSink* Device = nullptr;

}  // namespace

void SetPhoneticDevice(SoundSink* device) { Device = device; }

void SpeakPhonetic(const std::string& phonetic, bool noPauses) {
  SynthesizePhonetic(phonetic, noPauses, Device);
}
