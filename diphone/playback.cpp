// Speaking a phonetic string: the sound buffer goes to the wave-out device
// through the speech front end, one complete WAV image at a time.
#include "diphone/diphone.h"
#include "diphone/sound.h"
#include "speech/sncrt.h"

namespace {

class DeviceSink : public SoundSink {
 public:
  void Play(uint8_t* image, size_t samples) override {
    MakeWaveHeader(image, static_cast<uint32_t>(samples), kSampleRate, 8, 1);
    PlayWaveImage(image);
  }
  void WaitPlayed() override { WaitWhileSpeaking(); }
};

}  // namespace

void SpeakPhonetic(const std::string& phonetic, bool noPauses) {
  DeviceSink sink;
  SynthesizePhonetic(phonetic, noPauses, &sink);
}
