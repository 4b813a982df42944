// The stand-in for the SAPI 5 automation objects SpVoice and SpFileStream:
// only the members the voice adapter uses. The voice speaks through
// speech-dispatcher; a file stream is written by espeak-ng, since the
// daemon cannot write files. Failures raise VoiceError.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/voices/voice_common.h"

namespace platform {

enum : int {
  SVSFlagsAsync = 1,
  SVSFPurgeBeforeSpeak = 2,
  SVSFIsNotXML = 16,
  SSFMCreateForWrite = 3,
};

class SpFileStream {
 public:
  virtual ~SpFileStream() = default;
  virtual void Open(const std::string& path, int mode, bool events) = 0;
  virtual void Close() = 0;
  // The voice hands its text here while the stream is its output
  // (UTF-8, the selected voice's language, rate -10..10).
  virtual void Write(const std::string& text, const std::string& language, int rate) = 0;
};

class SpVoice {
 public:
  virtual ~SpVoice() = default;
  virtual void SetEventInterests(int interests) = 0;
  virtual std::vector<VoiceInfo> GetVoices() = 0;
  virtual void SetVoice(const VoiceInfo& token) = 0;
  virtual void SetRate(int rate) = 0;  // -10..10
  // Set while the voice is idle, clear while it speaks; owned by the voice.
  virtual VoiceEvent* SpeakCompleteEvent() = 0;
  virtual void SetAudioOutputStream(SpFileStream* stream) = 0;
  // text is UTF-8. Returns at once: whatever talks to the daemon runs off
  // the caller's thread.
  virtual void Speak(const std::string& text, int flags) = 0;
  // Empty while the voice works; once its daemon has died or stopped
  // answering, why (Portuguese, UTF-8). Such a voice speaks no more.
  virtual std::string Fault() { return {}; }
};

std::unique_ptr<SpVoice> CreateSpVoice();
std::unique_ptr<SpFileStream> CreateSpFileStream();

// Tests: CreateSpVoice makes its voices with this factory while one is set.
using SpVoiceFactory = std::function<std::unique_ptr<SpVoice>()>;
void SetSpVoiceFactory(SpVoiceFactory factory);

// The longest the caller's thread waits for the daemon at creation, and
// for any answer that it has to have.
constexpr int kDaemonAnswerMs = 800;
// While it speaks, the daemon is asked every kDaemonPingMs whether it is
// still there; a call to it that takes kDaemonStallMs means it has frozen.
// Either failure is thus known within a second.
constexpr int kDaemonPingMs = 250;
constexpr int kDaemonStallMs = 600;

}  // namespace platform
