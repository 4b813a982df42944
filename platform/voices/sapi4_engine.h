// The stand-in for the SAPI 4 text-to-speech calls that the voice adapter
// uses: an enumerator of engine modes, the engine it selects, its two kinds
// of notification sink and the audio destinations. Behind it, espeak-ng's
// voices are the engine modes. Failures raise VoiceError.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/voices/voice_common.h"

namespace platform {

class TtsBufNotifySink {
 public:
  virtual ~TtsBufNotifySink() = default;
  virtual void TextDataStarted() = 0;
  virtual void TextDataDone() = 0;
};

class TtsNotifySink {
 public:
  virtual ~TtsNotifySink() = default;
  virtual void AudioStart() = 0;
  virtual void AudioStop() = 0;
};

// Where an engine's samples go (mono, 16-bit).
class TtsAudioDest {
 public:
  virtual ~TtsAudioDest() = default;
  virtual void Write(const int16_t* samples, size_t count, int rate) = 0;
  // Hands on what the device has room for (UI thread).
  virtual void Service() = 0;
  // Sound is still queued or playing.
  virtual bool Playing() = 0;
  virtual void Reset() = 0;
  virtual void Flush() = 0;
};

// The file destination: a WAV file; Set gives 0 when the file was made.
class TtsFileDest : public TtsAudioDest {
 public:
  virtual int Set(const std::string& path) = 0;
};
std::unique_ptr<TtsFileDest> CreateTtsFileDest();

// The engine. Its sinks are called on the UI thread, from Pump.
class TtsCentral {
 public:
  virtual ~TtsCentral() = default;
  virtual void Register(TtsNotifySink* sink) = 0;
  virtual void UnRegister() = 0;
  // text is UTF-8.
  virtual void TextData(const std::string& text, TtsBufNotifySink* sink) = 0;
  virtual void AudioReset() = 0;
  // Words per minute; pitch 0..99 (espeak-ng's own scales, clamped).
  virtual void SpeedSet(int32_t speed) = 0;
  virtual void PitchSet(int16_t pitch) = 0;
  // Hands on progress and samples (UI thread).
  virtual void Pump() = 0;
};

class TtsEnum {
 public:
  virtual ~TtsEnum() = default;
  virtual void Reset() = 0;
  // The next mode, or false past the last.
  virtual bool Next(VoiceInfo& mode) = 0;
  // The dest stays the caller's and outlives the engine.
  virtual std::unique_ptr<TtsCentral> Select(const std::string& modeId, TtsAudioDest* dest) = 0;
};
std::unique_ptr<TtsEnum> CreateTtsEnum();

// Tests: CreateTtsEnum makes its enumerators with this factory while one is set.
using TtsEnumFactory = std::function<std::unique_ptr<TtsEnum>()>;
void SetTtsEnumFactory(TtsEnumFactory factory);

}  // namespace platform
