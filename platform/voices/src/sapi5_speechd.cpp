// SpVoice over speech-dispatcher. The daemon is a separate process that
// may die or freeze, so every call to it runs on a thread of the voice's
// own; the caller only queues work and, where an answer is needed
// (creation, choosing the voice), waits for it at most kDaemonAnswerMs.
// The library's notification thread reports ends (and cancels). A
// watchdog asks the daemon every kDaemonPingMs whether it is there while
// texts are out, takes a call that hangs kDaemonStallMs for a frozen
// daemon, and ends texts whose end the daemon never reports. A daemon
// found dead or frozen is given up for good: Fault() says why.
#include <libspeechd.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/os/library.h"
#include "platform/voices/espeak_engine.h"
#include "platform/voices/sapi4_engine.h"
#include "platform/voices/sapi5_voice.h"
#include "platform/voices/src/speechd_ledger.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;

// How long a text may go unreported: a start-up allowance plus a generous
// time per character (slow rates take longer).
constexpr int kTextAllowanceMs = 3000;
constexpr int kMsPerCharacter = 90;
// A daemon that answered may take this long to list its voices (espeak-ng's
// thousands of variants take seconds on a busy machine).
constexpr int kVoiceListMs = 15000;
constexpr int kFileTextSeconds = 60;

const char* const kDaemonDied = "o speech-dispatcher foi encerrado";
const char* const kDaemonFrozen = "o speech-dispatcher parou de responder";

SpVoiceFactory VoiceFactory;

// libspeechd is opened when the first system voice is created.
#define SONARIS_SPEECHD(F)                                                                 \
  F(free_spd_modules) F(free_spd_voices) F(spd_cancel) F(spd_close) F(spd_execute_command) \
  F(spd_list_modules) F(spd_list_synthesis_voices) F(spd_open2) F(spd_say)                 \
  F(spd_set_notification_on) F(spd_set_output_module) F(spd_set_synthesis_voice)           \
  F(spd_set_voice_rate)
struct Library {
  SONARIS_SPEECHD(SONARIS_LIBRARY_POINTER)
};
Library lib;

bool OpenSpeechd(std::string& why) {
  static std::string missing;
  static const bool open =
      OpenLibrary(SONARIS_SPEECHD_LIBRARY, {SONARIS_SPEECHD(SONARIS_LIBRARY_ENTRY)}, missing);
  why = missing;
  return open;
}

// Shared by the caller, the voice's thread, the library's notification
// thread and the watchdog; it outlives a voice whose thread is stuck in
// the daemon.
struct Shared {
  std::mutex lock;
  std::condition_variable changed;
  TextLedger texts;
  bool closing = false;
  bool finished = false;  // the voice's thread has ended
  SPDConnection* connection = nullptr;
  bool working = false;   // the voice's thread is in a timed call
  Clock::time_point workingSince{};
  Clock::time_point lastPing{};
  Clock::time_point deadline{};  // when the texts out are given up
  int slowness = 1;
  std::vector<VoiceInfo> voices;
  bool listed = false;
};

std::mutex ActiveLock;
std::shared_ptr<Shared> Active;  // the voice the notifications belong to

void Notified(size_t msgId, size_t, SPDNotificationType type) {
  std::shared_ptr<Shared> s;
  {
    std::lock_guard<std::mutex> hold(ActiveLock);
    s = Active;
  }
  if (!s || type == SPD_EVENT_BEGIN) return;
  std::lock_guard<std::mutex> hold(s->lock);
  LedgerEnded(s->texts, msgId);
  s->changed.notify_all();
}

void Queue(Shared& s, DaemonJob job) {
  s.texts.jobs.push_back(std::move(job));
  s.changed.notify_all();
}

// Whether the daemon still answers; run on the voice's thread. The library
// fails this call cleanly on a closed connection.
bool StillThere(SPDConnection* c) {
  return c && lib.spd_execute_command(c, "HISTORY GET CLIENT_ID") == 0;
}

void Work(std::shared_ptr<Shared> s) {
  // A write to a daemon that has died must fail, not end the program; the
  // library's own thread, started from here, inherits the mask.
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
  std::unique_lock<std::mutex> hold(s->lock);
  while (true) {
    s->changed.wait(hold, [&] { return s->closing || !s->texts.jobs.empty(); });
    if (s->texts.jobs.empty()) break;
    DaemonJob job = std::move(s->texts.jobs.front());
    s->texts.jobs.pop_front();
    s->working = job.timed;
    s->workingSince = Clock::now();
    s->changed.notify_all();
    hold.unlock();
    job.run();
    hold.lock();
    s->working = false;
  }
  SPDConnection* c = s->connection;
  s->connection = nullptr;
  hold.unlock();
  if (c) lib.spd_close(c);
  hold.lock();
  s->finished = true;
  s->changed.notify_all();
}

void Fail(Shared& s, const char* why) {
  LedgerFail(s.texts, why);
  s.changed.notify_all();
}

void Watch(std::shared_ptr<Shared> s) {
  std::unique_lock<std::mutex> hold(s->lock);
  Shared* raw = s.get();
  while (!s->closing) {
    const auto now = Clock::now();
    auto wake = Clock::time_point::max();
    if (s->texts.fault.empty()) {
      if (s->working && now - s->workingSince >= Ms(kDaemonStallMs)) {
        Fail(*s, kDaemonFrozen);
        continue;
      }
      if (s->texts.outstanding > 0 && now >= s->deadline) {
        std::fprintf(stderr, "O speech-dispatcher n\xC3\xA3o informou o fim da fala; a fala segue.\n");
        LedgerGiveUp(s->texts);
      }
      if (s->texts.outstanding > 0 && !s->working && s->texts.jobs.empty() &&
          now - s->lastPing >= Ms(kDaemonPingMs)) {
        s->lastPing = now;
        Queue(*s, {[raw] {
          SPDConnection* c;
          {
            std::lock_guard<std::mutex> h(raw->lock);
            c = raw->connection;
          }
          if (StillThere(c)) return;
          std::lock_guard<std::mutex> h(raw->lock);
          Fail(*raw, kDaemonDied);
        }});
      }
      if (s->working) wake = std::min(wake, s->workingSince + Ms(kDaemonStallMs));
      if (s->texts.outstanding > 0) wake = std::min({wake, s->deadline, s->lastPing + Ms(kDaemonPingMs)});
    }
    if (wake == Clock::time_point::max())
      s->changed.wait(hold);
    else
      s->changed.wait_until(hold, wake);
  }
}

std::string Text(const char* s) { return s ? s : ""; }

std::vector<VoiceInfo> ListVoices(SPDConnection* c) {
  std::vector<VoiceInfo> out;
  char** modules = lib.spd_list_modules(c);
  for (int m = 0; modules && modules[m]; ++m) {
    const std::string module = modules[m];
    if (module == "dummy" || lib.spd_set_output_module(c, module.c_str()) != 0) continue;
    SPDVoice** voices = lib.spd_list_synthesis_voices(c);
    for (int i = 0; voices && voices[i]; ++i)
      out.push_back({Text(voices[i]->name), Text(voices[i]->language), module});
    if (voices) lib.free_spd_voices(voices);
  }
  if (modules) lib.free_spd_modules(modules);
  OrderPortugueseFirst(out);
  return out;
}

// The library's message, whole and on one line: it names the socket and
// says why it could not be reached.
std::string OneLine(std::string why) {
  if (why.rfind("Error: ", 0) == 0) why.erase(0, 7);
  std::replace(why.begin(), why.end(), '\n', ' ');
  while (!why.empty() && (why.back() == ' ' || why.back() == '.')) why.pop_back();
  return why;
}

// Where the library looks for the daemon.
std::string DaemonAddress() {
  if (const char* address = std::getenv("SPEECHD_ADDRESS")) return address;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return std::string(runtime ? runtime : "") + "/speech-dispatcher/speechd.sock";
}

class SpeechdVoice : public SpVoice {
 public:
  SpeechdVoice() : s_(std::make_shared<Shared>()) {}

  void Connect() {
    std::string missing;
    if (!OpenSpeechd(missing))
      throw VoiceError("n\xC3\xA3o foi poss\xC3\xADvel usar o speech-dispatcher: " + missing);
    auto s = s_;
    // Connecting is the first answer we need. A daemon that the library
    // is still starting, or one that does not answer, is named by its
    // address.
    try {
      Ask([s]() {
        char* error = nullptr;
        SPDConnection* c =
            lib.spd_open2("sonaris", "selenor", nullptr, SPD_MODE_THREADED, nullptr, 1, &error);
        if (!c) {
          std::string why = error ? OneLine(error) : "";
          free(error);
          return "n\xC3\xA3o foi poss\xC3\xADvel conectar ao speech-dispatcher" +
                 (why.empty() ? std::string() : " (" + why + ")");
        }
        c->callback_begin = c->callback_end = c->callback_cancel = Notified;
        lib.spd_set_notification_on(c, SPD_BEGIN);
        lib.spd_set_notification_on(c, SPD_END);
        lib.spd_set_notification_on(c, SPD_CANCEL);
        std::lock_guard<std::mutex> hold(s->lock);
        s->connection = c;
        return std::string();
      }, true);
    } catch (const VoiceError& e) {
      const std::string where = DaemonAddress();
      if (std::string(e.what()).find(where) != std::string::npos) throw;
      const std::string told = std::string(e.what()) + " (" + where + ")";
      if (dynamic_cast<const VoiceTimeout*>(&e)) throw VoiceTimeout(told);
      throw VoiceError(told);
    }
    Listen(s);
  }

  // The voices are listed ahead, while the caller goes on: a daemon with
  // many voices (espeak-ng's variants run to thousands) takes seconds.
  void Listen(std::shared_ptr<Shared> s) {
    {
      std::lock_guard<std::mutex> hold(s_->lock);
      Queue(*s_, {[s] {
        std::vector<VoiceInfo> voices = ListVoices(Connection(*s));
        std::lock_guard<std::mutex> hold(s->lock);
        s->voices = std::move(voices);
        s->listed = true;
        s->changed.notify_all();
      }, false, false});
    }
    {
      std::lock_guard<std::mutex> hold(ActiveLock);
      Active = s_;
    }
    watchdog_ = std::thread(Watch, s_);
  }

  ~SpeechdVoice() override {
    bool faulted;
    {
      std::lock_guard<std::mutex> hold(s_->lock);
      s_->closing = true;
      faulted = !s_->texts.fault.empty();
      s_->changed.notify_all();
    }
    if (watchdog_.joinable()) watchdog_.join();
    // A daemon that never answered, or is known to be frozen, is not
    // waited for.
    std::unique_lock<std::mutex> hold(s_->lock);
    const bool ended = s_->connection && !faulted &&
                       s_->changed.wait_for(hold, Ms(kDaemonAnswerMs), [&] { return s_->finished; });
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
      throw VoiceTimeout("o speech-dispatcher n\xC3\xA3o listou as vozes a tempo");
    return s_->voices;
  }

  void SetVoice(const VoiceInfo& token) override {
    language_ = token.language;
    auto s = s_;
    Ask([s, token]() {
      SPDConnection* c = Connection(*s);
      if (lib.spd_set_output_module(c, token.id.c_str()) != 0 ||
          lib.spd_set_synthesis_voice(c, token.name.c_str()) != 0)
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
    auto s = s_;
    Ask([s, rate]() {
      return lib.spd_set_voice_rate(Connection(*s), rate * 10) == 0 ? std::string()
                                                                    : "velocidade recusada";
    });
  }

  VoiceEvent* SpeakCompleteEvent() override { return &s_->texts.complete; }

  void SetAudioOutputStream(SpFileStream* stream) override { stream_ = stream; }

  void Speak(const std::string& text, int flags) override {
    if (flags & SVSFPurgeBeforeSpeak) return Purge();
    if (stream_) return stream_->Write(text, language_, rate_);
    std::lock_guard<std::mutex> hold(s_->lock);
    if (!s_->texts.fault.empty()) throw VoiceError(s_->texts.fault);
    if (s_->finished) throw VoiceError("o speech-dispatcher foi desconectado");
    if (s_->texts.outstanding == 0) s_->deadline = s_->lastPing = Clock::now();
    s_->deadline += Ms(kTextAllowanceMs + kMsPerCharacter * s_->slowness * int(text.size()));
    const unsigned epoch = s_->texts.epoch;
    Shared* s = s_.get();
    LedgerQueueText(s_->texts, [s, text, epoch] {
      SPDConnection* c;
      {
        std::lock_guard<std::mutex> h(s->lock);
        c = s->connection;
        s->texts.handingOver = true;
      }
      const int id = lib.spd_say(c, SPD_TEXT, text.c_str());
      // A refused text: from a daemon gone, or one that still answers.
      const bool gone = id < 0 && !StillThere(c);
      std::lock_guard<std::mutex> h(s->lock);
      LedgerTextQueued(s->texts, id, epoch);
      if (gone) Fail(*s, kDaemonDied);
    });
    s_->changed.notify_all();
  }

  std::string Fault() override {
    std::lock_guard<std::mutex> hold(s_->lock);
    return s_->texts.fault;
  }

 private:
  static SPDConnection* Connection(Shared& s) {
    std::lock_guard<std::mutex> hold(s.lock);
    return s.connection;
  }

  // Runs a job on the voice's thread and waits for its answer (an empty
  // text is success) at most kDaemonAnswerMs.
  void Ask(std::function<std::string()> job, bool first = false) {
    auto answer = std::make_shared<std::pair<bool, std::string>>(false, std::string());
    auto s = s_;
    std::unique_lock<std::mutex> hold(s->lock);
    if (!first && !s->connection) throw VoiceError("o speech-dispatcher n\xC3\xA3o est\xC3\xA1 conectado");
    if (!s->texts.fault.empty()) throw VoiceError(s->texts.fault);
    Queue(*s, {[s, answer, job] {
      std::string why = job();
      std::lock_guard<std::mutex> hold(s->lock);
      *answer = {true, why};
      s->changed.notify_all();
    }, false, false});
    if (first) {
      hold.unlock();
      worker_ = std::thread(Work, s);
      hold.lock();
    }
    if (!WaitServing(hold, s->changed, kDaemonAnswerMs, [&] { return answer->first; }))
      throw VoiceTimeout("o speech-dispatcher n\xC3\xA3o respondeu a tempo");
    if (!answer->second.empty()) throw VoiceError(answer->second);
  }

  // Texts not yet handed over are dropped; the daemon is told to cancel
  // what it holds before anything else waiting.
  void Purge() {
    std::lock_guard<std::mutex> hold(s_->lock);
    if (!s_->texts.fault.empty()) return;
    Shared* s = s_.get();
    LedgerPurge(s_->texts, {[s] {
      SPDConnection* c = Connection(*s);
      if (c) lib.spd_cancel(c);
    }});
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
      if (!EspeakTake(e, 100)) {
        if (Clock::now() > deadline) throw VoiceError("o espeak-ng n\xC3\xA3o terminou o texto");
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
