#include "tools/build-sounds/speak.h"

#include "platform/builders/espeak_voice.h"
#include "tools/build-sounds/pcm.h"

namespace voicedata {

bool OpenVoice() { return platform::VoiceOpen("pt-br", 175, 50); }
void CloseVoice() { platform::VoiceClose(); }

std::vector<uint8_t> SayText(const std::string& text, int pitch) {
  platform::VoiceSetPitch(pitch);
  platform::VoiceAudio audio;
  if (!platform::VoiceSynthesize(text, false, kRate, audio)) return {};
  TrimSilence(audio.samples, kQuiet, kFade);
  FadeEdges(audio.samples, kFade);
  return ToUnsigned8(audio.samples, kGain);
}

}  // namespace voicedata
