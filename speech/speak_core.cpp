// The sound primitives of the front end: wave images, the speaking test and
// stopping. Everything that waits for sound goes through here.
#include <cstring>

#include "console/snwin.h"
#include "platform/messages.h"
#include "speech/crtstate.h"
#include "speech/sncrt.h"
#include "speech/snsapi.h"
#include "wave/snwav.h"

namespace {

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

void Put16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

// RIFF/WAVE header of 8-bit mono 11025 Hz PCM, lengths left to fill.
const uint8_t HeaderTemplate[WaveHeaderBytes] = {
    'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
    16, 0, 0, 0, 1, 0, 1, 0, 0x11, 0x2B, 0, 0, 0x11, 0x2B, 0, 0,
    1, 0, 8, 0, 'd', 'a', 't', 'a', 0, 0, 0, 0};

}  // namespace

void MakeWaveHeader(uint8_t* image, uint32_t dataLength, uint32_t rate, uint16_t bits,
                    uint16_t channels) {
  std::memcpy(image, HeaderTemplate, WaveHeaderBytes);
  Put32(image + 40, dataLength);
  Put32(image + 4, dataLength + 36);
  Put16(image + 34, bits);
  Put16(image + 22, channels);
  Put32(image + 24, rate);
  Put32(image + 28, rate * channels * (bits / 8));
}

void WaitWhileSpeaking() {
  while (IsSpeaking()) platform::WaitMessage();
}

bool IsSpeaking() {
  if (KeyPressed()) {
    StopSpeech();
    return false;
  }
  if (VoiceActive) return WavePlaying() || VoiceBusy(0);
  return WavePlaying();
}

void StopSpeech() {
  StopWave();
  Crt.speechStopped = true;
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
