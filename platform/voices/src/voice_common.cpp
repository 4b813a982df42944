#include "platform/voices/voice_common.h"

#include <algorithm>
#include <cctype>

namespace platform {

void VoiceEvent::Set() {
  std::lock_guard<std::mutex> hold(lock_);
  set_ = true;
  changed_.notify_all();
}

void VoiceEvent::Reset() {
  std::lock_guard<std::mutex> hold(lock_);
  set_ = false;
}

bool VoiceEvent::Wait(int milliseconds) {
  std::unique_lock<std::mutex> hold(lock_);
  return changed_.wait_for(hold, std::chrono::milliseconds(milliseconds), [&] { return set_; });
}

namespace {

constexpr int kPumpSliceMs = 20;
VoiceWaitPump WaitPump = nullptr;

// 0 Brazilian Portuguese, 1 other Portuguese, 2 anything else. Tags come
// as "pt-BR", "pt_br", "pt-br" or espeak's "roa/pt-BR" paths.
int PortugueseRank(const std::string& tag) {
  std::string t;
  for (char c : tag.substr(tag.rfind('/') == std::string::npos ? 0 : tag.rfind('/') + 1))
    t += c == '_' ? '-' : char(std::tolower(static_cast<unsigned char>(c)));
  if (t == "pt-br") return 0;
  if (t == "pt" || t.rfind("pt-", 0) == 0) return 1;
  return 2;
}

}  // namespace

void SetVoiceWaitPump(VoiceWaitPump pump) { WaitPump = pump; }

bool WaitServing(std::unique_lock<std::mutex>& hold, std::condition_variable& changed,
                 int milliseconds, const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!done()) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    const auto slice = std::min<std::chrono::steady_clock::duration>(
        deadline - now, std::chrono::milliseconds(kPumpSliceMs));
    if (changed.wait_for(hold, slice, done)) return true;
    if (WaitPump) {
      hold.unlock();
      WaitPump();
      hold.lock();
    }
  }
  return true;
}

bool IsPortuguese(const std::string& tag) { return PortugueseRank(tag) < 2; }

void OrderPortugueseFirst(std::vector<VoiceInfo>& voices) {
  std::stable_sort(voices.begin(), voices.end(), [](const VoiceInfo& a, const VoiceInfo& b) {
    return PortugueseRank(a.language) < PortugueseRank(b.language);
  });
}

}  // namespace platform
