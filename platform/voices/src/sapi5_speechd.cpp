// SpVoice over speech-dispatcher. The daemon is a separate process that
// may stall (a cancel can block for seconds when it has no working audio),
// so every call to it runs on a thread of the voice's own; the caller only
// queues work and, where an answer is needed (creation, choosing the voice),
// waits for it at most kDaemonAnswerMs. The speak-complete event is kept by
// the library's notification thread (begin, end, cancel); a watchdog ends
// texts whose end the daemon never reports.
#include <libspeechd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "platform/os/clock.h"
#include "platform/voices/espeak_engine.h"
#include "platform/voices/sapi4_engine.h"
#include "platform/voices/sapi5_voice.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// How long a text may go unreported: a start-up allowance plus a generous
// time per character (slow rates take longer).
constexpr int kTextAllowanceMs = 3000;
constexpr int kMsPerCharacter = 90;
// A daemon that answered may take this long to list its voices.
constexpr int kVoiceListMs = 8000;
constexpr int kFileTextSeconds = 60;

SpVoiceFactory VoiceFactory;

// Shared by the caller, the voice's thread, the library's notification
// thread and the watchdog; it outlives a voice whose thread is stuck in
// the daemon.
struct Shared {
  std::mutex lock;
  std::condition_variable changed;
  std::deque<std::function<void(SPDConnection*)>> jobs;
  bool closing = false;
  bool finished = false;  // the voice's thread has ended
  SPDConnection* connection = nullptr;
  VoiceEvent complete;
  int outstanding = 0;            // texts queued and not yet ended
  std::set<size_t> live;          // their message ids, once known
  std::set<size_t> endedEarly;    // ends reported before the id came back
  unsigned epoch = 0;             // changes on every purge
  Clock::time_point deadline{};
  int slowness = 1;
  std::vector<VoiceInfo> voices;
  bool listed = false;
  bool holdsClock = false;  // while texts are outstanding
  ~Shared() { HoldClockWhile(holdsClock, false); }
};

std::mutex ActiveLock;
std::shared_ptr<Shared> Active;  // the voice the notifications belong to

// The daemon speaks in real time: the program's clock may not skip ahead
// of the ends it will report.
void NoteOutstanding(Shared& s) { HoldClockWhile(s.holdsClock, s.outstanding > 0); }

void OneEnded(Shared& s) {
  if (s.outstanding > 0) --s.outstanding;
  if (s.outstanding == 0) s.complete.Set();
  NoteOutstanding(s);
}

void TextEnded(Shared& s, size_t id) {
  if (s.live.erase(id))
    OneEnded(s);
  else
    s.endedEarly.insert(id);
}

void Notified(size_t msgId, size_t, SPDNotificationType type) {
  std::shared_ptr<Shared> s;
  {
    std::lock_guard<std::mutex> hold(ActiveLock);
    s = Active;
  }
  if (!s || type == SPD_EVENT_BEGIN) return;
  std::lock_guard<std::mutex> hold(s->lock);
  TextEnded(*s, msgId);
  s->changed.notify_all();
}

void GiveUpTexts(Shared& s) {
  s.outstanding = 0;
  s.live.clear();
  s.endedEarly.clear();
  s.complete.Set();
  NoteOutstanding(s);
}

void Work(std::shared_ptr<Shared> s) {
  std::unique_lock<std::mutex> hold(s->lock);
  while (true) {
    s->changed.wait(hold, [&] { return s->closing || !s->jobs.empty(); });
    if (s->jobs.empty()) break;
    auto job = std::move(s->jobs.front());
    s->jobs.pop_front();
    SPDConnection* c = s->connection;
    hold.unlock();
    job(c);
    hold.lock();
  }
  SPDConnection* c = s->connection;
  s->connection = nullptr;
  hold.unlock();
  if (c) spd_close(c);
  hold.lock();
  s->finished = true;
  s->changed.notify_all();
}

void Watch(std::shared_ptr<Shared> s) {
  std::unique_lock<std::mutex> hold(s->lock);
  while (!s->closing) {
    if (s->outstanding > 0 && Clock::now() >= s->deadline) {
      std::fprintf(stderr, "O speech-dispatcher n\xC3\xA3o informou o fim da fala; a fala segue.\n");
      GiveUpTexts(*s);
    }
    if (s->outstanding > 0)
      s->changed.wait_until(hold, s->deadline);
    else
      s->changed.wait(hold);
  }
}

std::string Text(const char* s) { return s ? s : ""; }

std::vector<VoiceInfo> ListVoices(SPDConnection* c) {
  std::vector<VoiceInfo> out;
  char** modules = spd_list_modules(c);
  for (int m = 0; modules && modules[m]; ++m) {
    const std::string module = modules[m];
    if (module == "dummy" || spd_set_output_module(c, module.c_str()) != 0) continue;
    SPDVoice** voices = spd_list_synthesis_voices(c);
    for (int i = 0; voices && voices[i]; ++i)
      out.push_back({Text(voices[i]->name), Text(voices[i]->language), module});
    if (voices) free_spd_voices(voices);
  }
  if (modules) free_spd_modules(modules);
  OrderPortugueseFirst(out);
  return out;
}

class SpeechdVoice : public SpVoice {
 public:
  SpeechdVoice() : s_(std::make_shared<Shared>()) {}

  void Connect() {
    auto s = s_;
    // Connecting and listing the voices is the first answer we need.
    Ask([s, this](SPDConnection*) {
      char* error = nullptr;
      SPDConnection* c = spd_open2("sonaris", "selenor", nullptr, SPD_MODE_THREADED, nullptr, 1, &error);
      if (!c) {
        std::string why = error ? error : "";
        free(error);
        // The library's first sentence says what went wrong; the rest is advice.
        why = why.substr(0, why.find_first_of(".\n"));
        if (why.rfind("Error: ", 0) == 0) why.erase(0, 7);
        return "n\xC3\xA3o foi poss\xC3\xADvel conectar ao speech-dispatcher" +
               (why.empty() ? std::string() : " (" + why + ")");
      }
      c->callback_begin = c->callback_end = c->callback_cancel = Notified;
      spd_set_notification_on(c, SPD_BEGIN);
      spd_set_notification_on(c, SPD_END);
      spd_set_notification_on(c, SPD_CANCEL);
      std::lock_guard<std::mutex> hold(s->lock);
      s->connection = c;
      return std::string();
    }, true);
    {
      std::lock_guard<std::mutex> hold(s_->lock);
      s_->jobs.push_back([s](SPDConnection* c) {
        std::vector<VoiceInfo> voices = ListVoices(c);
        std::lock_guard<std::mutex> hold(s->lock);
        s->voices = std::move(voices);
        s->listed = true;
        s->changed.notify_all();
      });
      s_->changed.notify_all();
    }
    {
      std::lock_guard<std::mutex> hold(ActiveLock);
      Active = s_;
    }
    watchdog_ = std::thread(Watch, s_);
  }

  ~SpeechdVoice() override {
    {
      std::lock_guard<std::mutex> hold(s_->lock);
      s_->closing = true;
      s_->changed.notify_all();
    }
    if (watchdog_.joinable()) watchdog_.join();
    // A daemon that never answered is not waited for a second time.
    std::unique_lock<std::mutex> hold(s_->lock);
    const bool ended = s_->connection &&
                       s_->changed.wait_for(hold, std::chrono::milliseconds(kDaemonAnswerMs),
                                            [&] { return s_->finished; });
    hold.unlock();
    // A thread stuck in the daemon is left behind; the shared state stays
    // alive for it.
    if (ended) worker_.join(); else if (worker_.joinable()) worker_.detach();
    std::lock_guard<std::mutex> active(ActiveLock);
    if (Active == s_) Active.reset();
  }

  void SetEventInterests(int) override {}  // notifications are always on

  // Listed ahead, as soon as the daemon answered: a daemon with many
  // voices (espeak-ng's variants run to thousands) takes seconds over it.
  std::vector<VoiceInfo> GetVoices() override {
    std::unique_lock<std::mutex> hold(s_->lock);
    if (!WaitServing(hold, s_->changed, kVoiceListMs, [&] { return s_->listed; }))
      throw VoiceError("o speech-dispatcher n\xC3\xA3o listou as vozes a tempo");
    return s_->voices;
  }

  void SetVoice(const VoiceInfo& token) override {
    language_ = token.language;
    Ask([token](SPDConnection* c) {
      if (spd_set_output_module(c, token.id.c_str()) != 0 ||
          spd_set_synthesis_voice(c, token.name.c_str()) != 0)
        return "a voz " + token.name + " n\xC3\xA3o p\xC3\xB4" "de ser escolhida";
      return std::string();
    });
  }

  void SetRate(int rate) override {
    if (rate < -10 || rate > 10) throw VoiceError("velocidade fora do intervalo -10 a 10");
    rate_ = rate;
    {
      std::lock_guard<std::mutex> hold(s_->lock);
      s_->slowness = rate < 0 ? 3 : 1;
    }
    Ask([rate](SPDConnection* c) {
      return spd_set_voice_rate(c, rate * 10) == 0 ? std::string() : "velocidade recusada";
    });
  }

  VoiceEvent* SpeakCompleteEvent() override { return &s_->complete; }

  void SetAudioOutputStream(SpFileStream* stream) override { stream_ = stream; }

  void Speak(const std::string& text, int flags) override {
    if (flags & SVSFPurgeBeforeSpeak) return Purge();
    if (stream_) return stream_->Write(text, language_, rate_);
    std::lock_guard<std::mutex> hold(s_->lock);
    if (s_->finished) throw VoiceError("o speech-dispatcher foi desconectado");
    if (s_->outstanding++ == 0) s_->deadline = Clock::now();
    s_->deadline += std::chrono::milliseconds(
        kTextAllowanceMs + kMsPerCharacter * s_->slowness * int(text.size()));
    s_->complete.Reset();
    NoteOutstanding(*s_);
    const unsigned epoch = s_->epoch;
    Shared* s = s_.get();
    s_->jobs.push_back([s, text, epoch](SPDConnection* c) {
      const int id = spd_say(c, SPD_TEXT, text.c_str());
      std::lock_guard<std::mutex> hold(s->lock);
      if (epoch != s->epoch) return;  // purged meanwhile
      if (id < 0) {
        OneEnded(*s);
      } else if (s->endedEarly.erase(size_t(id))) {
        s->live.insert(size_t(id));
        TextEnded(*s, size_t(id));
      } else {
        s->live.insert(size_t(id));
      }
    });
    s_->changed.notify_all();
  }

 private:
  // Runs a job on the voice's thread and waits for its answer (an empty
  // text is success) at most kDaemonAnswerMs.
  void Ask(std::function<std::string(SPDConnection*)> job, bool first = false) {
    auto answer = std::make_shared<std::pair<bool, std::string>>(false, std::string());
    auto s = s_;
    std::unique_lock<std::mutex> hold(s->lock);
    if (!first && !s->connection) throw VoiceError("o speech-dispatcher n\xC3\xA3o est\xC3\xA1 conectado");
    s->jobs.push_back([s, answer, job](SPDConnection* c) {
      std::string why = job(c);
      std::lock_guard<std::mutex> hold(s->lock);
      *answer = {true, why};
      s->changed.notify_all();
    });
    if (first) {
      hold.unlock();
      worker_ = std::thread(Work, s);
      hold.lock();
    }
    s->changed.notify_all();
    if (!WaitServing(hold, s->changed, kDaemonAnswerMs, [&] { return answer->first; }))
      throw VoiceError("o speech-dispatcher n\xC3\xA3o respondeu a tempo");
    if (!answer->second.empty()) throw VoiceError(answer->second);
  }

  void Purge() {
    std::lock_guard<std::mutex> hold(s_->lock);
    ++s_->epoch;
    GiveUpTexts(*s_);
    s_->jobs.push_back([](SPDConnection* c) { if (c) spd_cancel(c); });
    s_->changed.notify_all();
  }

  std::shared_ptr<Shared> s_;
  std::thread worker_;
  std::thread watchdog_;
  SpFileStream* stream_ = nullptr;
  std::string language_;
  int rate_ = 0;
};

// SpFileStream: espeak-ng with the voice closest to the selected one's
// language writes the file, since the daemon cannot.
class EspeakFileStream : public SpFileStream {
 public:
  ~EspeakFileStream() override { Close(); }
  void Open(const std::string& path, int, bool) override {
    dest_ = CreateTtsFileDest();
    if (dest_->Set(path) != 0) {
      dest_.reset();
      throw VoiceError("o arquivo " + path + " n\xC3\xA3o p\xC3\xB4" "de ser criado");
    }
  }
  void Close() override {
    if (dest_) dest_->Flush();
    dest_.reset();
    EspeakEnd();
  }
  void Write(const std::string& text, const std::string& language, int rate) override {
    if (!dest_ || !EspeakStart(EspeakClosestVoice(language)))
      throw VoiceError("o espeak-ng n\xC3\xA3o p\xC3\xB4" "de escrever o arquivo");
    EspeakSetRate(175 + rate * 15);
    EspeakQueue(text);
    EspeakEvent e;
    bool done = false;
    // Synthesis runs many times faster than real time; a text that does
    // not come out within the bound is given up.
    const auto deadline = Clock::now() + std::chrono::seconds(kFileTextSeconds);
    while (!done) {
      if (!EspeakTake(e)) {
        if (Clock::now() > deadline) throw VoiceError("o espeak-ng n\xC3\xA3o terminou o texto");
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        continue;
      }
      if (e.kind == EspeakEvent::Samples) dest_->Write(e.samples.data(), e.samples.size(), EspeakSampleRate());
      done = e.kind == EspeakEvent::TextDone;
    }
    dest_->Flush();
  }

 private:
  std::unique_ptr<TtsFileDest> dest_;
};

}  // namespace

std::unique_ptr<SpVoice> CreateSpVoice() {
  if (VoiceFactory) return VoiceFactory();
  auto voice = std::make_unique<SpeechdVoice>();
  voice->Connect();
  return voice;
}

std::unique_ptr<SpFileStream> CreateSpFileStream() { return std::make_unique<EspeakFileStream>(); }

void SetSpVoiceFactory(SpVoiceFactory factory) { VoiceFactory = std::move(factory); }

}  // namespace platform
