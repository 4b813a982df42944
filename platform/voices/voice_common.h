// What the two system-voice stand-ins share: the error a voice call
// raises, a settable event that other threads may signal, and the order in
// which voices are offered to the user.
#pragma once
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

// Raised by a voice call that failed; what() is Portuguese, UTF-8.
struct VoiceError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
// A service that is there but did not answer in time.
struct VoiceTimeout : VoiceError {
  using VoiceError::VoiceError;
};

// A manual-reset event: any thread may set or clear it.
class VoiceEvent {
 public:
  void Set();
  void Reset();
  // True when it is (or becomes) set within the time.
  bool Wait(int milliseconds);

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  bool set_ = true;
};

// What a caller's thread does while it waits for a voice's answer: the UI
// thread keeps serving its messages (set by the adapter; none by default).
using VoiceWaitPump = void (*)();
void SetVoiceWaitPump(VoiceWaitPump pump);
// Waits until done() holds or the time is up, in short slices with the
// pump run between them; the lock is held while done() is asked.
bool WaitServing(std::unique_lock<std::mutex>& hold, std::condition_variable& changed,
                 int milliseconds, const std::function<bool()>& done);

// A voice as offered to the user: the name, its language tag ("pt-BR")
// and whatever the back end needs to select it again.
struct VoiceInfo {
  std::string name;
  std::string language;
  std::string id;
};

// Brazilian Portuguese first, then other Portuguese, then the rest, each
// group in the order given, so that voice 1 speaks Portuguese wherever such
// a voice is installed.
void OrderPortugueseFirst(std::vector<VoiceInfo>& voices);
// Whether a language tag is Portuguese (of Brazil or elsewhere).
bool IsPortuguese(const std::string& tag);

}  // namespace platform
