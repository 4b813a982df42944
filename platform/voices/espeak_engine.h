// espeak-ng in process as a speaking engine: texts are synthesized on a
// thread of the engine's own; samples and progress come back through a
// thread-safe queue that the UI thread empties, and each new entry posts
// WM_VOICE_WAKE so that a waiting UI thread looks at it. One engine per
// process (espeak-ng itself is one).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/voices/voice_common.h"

namespace platform {

struct EspeakEvent {
  enum Kind { TextStarted, Samples, TextDone } kind = TextStarted;
  std::vector<int16_t> samples;  // Samples: mono 16-bit at EspeakSampleRate
};

// espeak-ng's voices (id = its voice file, such as "roa/pt-BR"),
// Portuguese first. Empty when espeak-ng cannot start.
std::vector<VoiceInfo> EspeakVoices();
// The voice whose language is closest to a tag such as "pt-BR": the same
// tag, else the same language, else Brazilian Portuguese.
std::string EspeakClosestVoice(const std::string& language);

// Starts the engine with a voice id; false when espeak-ng or the voice
// cannot be had. Starting again changes the voice.
bool EspeakStart(const std::string& voiceId);
void EspeakEnd();
int EspeakSampleRate();
// Words per minute (80..450) and pitch (0..99), for texts queued after.
int EspeakRate();
int EspeakPitch();
void EspeakSetRate(int wordsPerMinute);
void EspeakSetPitch(int pitch);

// text is UTF-8; returns at once.
void EspeakQueue(const std::string& text);
// Drops the queued texts and cuts the one being synthesized; nothing of
// them comes out of EspeakTake afterwards.
void EspeakCancel();
// The next entry, or false when there is none yet (after waiting up to
// waitMs for one).
bool EspeakTake(EspeakEvent& out, int waitMs = 0);
// No text queued or being synthesized, and nothing left to take.
bool EspeakIdle();

}  // namespace platform
