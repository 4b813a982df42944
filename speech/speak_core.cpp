// The sound primitives of the front end: wave images, the speaking test and
// stopping. Everything that waits for sound goes through here.
#include "console/snwin.h"
#include "diphone/diphone.h"
#include "diphone/sound.h"
#include "platform/audio/audio.h"
#include "platform/os/messages.h"
#include "platform/os/riff.h"
#include "speech/crtstate.h"
#include "speech/sncrt.h"
#include "sapi/voice_notice.h"
#include "speech/snsapi.h"
#include "wave/snwav.h"

static_assert(WaveHeaderBytes == platform::kWaveHeaderBytes);

// The front end's sounds have always carried a block alignment of 1,
// whatever their format; the players go by the other fields.
void MakeWaveHeader(uint8_t* image, uint32_t dataLength, uint32_t rate, uint16_t bits,
                    uint16_t channels) {
  platform::WriteWaveHeader(image, dataLength, rate, bits, channels);
  platform::PutLe16(image + 32, 1);
}

namespace {

// The diphone voice's sound reaches the wave-out device as one complete WAV
// image at a time; installed when the unit starts.
class DeviceSink : public SoundSink {
 public:
  void Play(uint8_t* image, size_t samples) override {
    MakeWaveHeader(image, static_cast<uint32_t>(samples), kSampleRate, 8, 1);
    PlayWaveImage(image);
  }
  void WaitPlayed() override { WaitWhileSpeaking(); }
};

DeviceSink diphoneDevice;
struct DeviceInstall {
  DeviceInstall() { SetPhoneticDevice(&diphoneDevice); }
} deviceInstall;

}  // namespace

// Without a sound device the program goes on silent: the first sound says so
// on the screen too, on a line of its own, once (stderr has it already).
// So does an external voice that did not start; one that did not start or
// broke down is also said in a short sentence, before anything else.
void GiveNotices() {
  const std::string audio = platform::TakeAudioNotice();
  const VoiceNotice voice = TakeVoiceNotice();
  for (const std::string& line : {audio, voice.shown}) {
    if (line.empty()) continue;
    if (CursorColumn() != 1) StdWriteLn();
    StdWriteLn(line);
  }
  if (!voice.said.empty() && !KeyPressed()) SpeakBuiltIn(voice.said);
}

void WaitWhileSpeaking() {
  GiveNotices();
  while (IsSpeaking()) platform::WaitMessage();
}

bool IsSpeaking() {
  if (KeyPressed() || SilencePending()) {
    StopSpeech();
    return false;
  }
  if (!VoiceActive) return WavePlaying();
  const bool busy = WavePlaying() || VoiceBusy(0);
  if (!VoiceFailed()) return busy;
  VoiceFailOver();
  return WavePlaying();
}

void StopSpeech() {
  StopWave();
  Crt.speechStopped = true;
  Crt.voiceText.clear();
  if (VoiceActive && (VoiceBusy(0) || VoiceKind == 3)) VoiceStop();
  platform::PostMessage(platform::WM_SPEECH_WAKE);
}

void WaitPendingSpeech() {
  if (!Crt.speechPending) return;
  WaitWhileSpeaking();
  Crt.speechPending = false;
}

void PlayWaveImage(const uint8_t* image) {
  WaitPendingSpeech();
  PlayWaveMemory(image);
  WaitWhileSpeaking();
}
