// sd_sonaris: speech-dispatcher's output module for the Sonaris voices
// (Toada with br4, br1 and br3, and the built-in voice). speech-dispatcher
// starts it with the module's configuration file and talks to it on
// standard input and output. A reader thread takes the commands and
// answers the quick ones; the UI thread speaks. STOP reaches the speech
// as a key does, so that it silences the sound at once.
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "console/snwin.h"
#include "platform/audio/audio.h"
#include "platform/os/messages.h"
#include "platform/os/spawn.h"
#include "programs/sd_sonaris/protocol.h"
#include "programs/sd_sonaris/voice.h"
#include "wave/snwav.h"

namespace {

using sd::Command;

struct Request {
  Command command = Command::Unknown;
  std::string text;
  sd::Settings settings;
  uint64_t number = 0;  // messages are numbered as the reader takes them
};

struct ModuleState {
  std::mutex outLock, inboxLock;
  std::deque<Request> inbox;
  std::vector<const sd::Voice*> voices;
  sd::Settings settings;  // the reader's: each message takes a copy
  // A PAUSE is for the message last taken: it stops at that message's next
  // mark, also when it came before the message began.
  std::atomic<uint64_t> pauseFor{0};
  std::atomic<uint64_t> speaking{0};  // the number of the message being said
  std::atomic<bool> serverAudio{false};
  // A STOP ends every message taken before it, also one not yet begun.
  uint64_t taken = 0;  // the reader's count
  std::atomic<uint64_t> stoppedThrough{0};
  bool ownAudio = false;  // SONARIS_AUDIO chose our back ends
  bool serverAudioInstalled = false;
};
ModuleState M;

int64_t NowMicros() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return int64_t(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

// The module's log is its standard error, which speech-dispatcher keeps in
// its log folder: monotonic microseconds, then the line (UTF-8).
void Log(const std::string& line) {
  std::fprintf(stderr, "sd_sonaris: %lld %s\n", static_cast<long long>(NowMicros()), line.c_str());
}

void Send(const std::string& text) {
  std::lock_guard<std::mutex> g(M.outLock);
  const char* p = text.data();
  size_t left = text.size();
  while (left > 0) {
    ssize_t n = write(STDOUT_FILENO, p, left);
    if (n <= 0) return;  // the server is gone; the reader will see the end
    p += n, left -= size_t(n);
  }
}

// speech-dispatcher's own audio. The server queues each 705 event for its
// player as it reads it; on a STOP it takes no more of our sound, plays
// what it has queued until our 703 and only then stops its device, which
// can itself take tens of milliseconds. So the samples go out paced to
// real time, a slice at a time and never more than the lead before they
// are due, and a STOP stops the sending at once: the server never holds
// more than the lead plus a slice, which bounds what a STOP leaves to be
// heard (logged at each STOP). The lead is also how late the sender may be
// before the server runs out of our sound. Its device keeps a cushion of
// its own (PulseAudio starts a stream only once it holds its target
// length), so a few milliseconds are enough; SonarisAudioLead raises it on
// a machine too loaded for that. A block comes back (and the mark after it
// is reported) when its last sample is due.
using Clock = std::chrono::steady_clock;
constexpr uint32_t kSliceMs = 4;
constexpr int kDefaultLeadMs = 4, kMaxLeadMs = 500;
constexpr auto kBehindRetry = std::chrono::milliseconds(2);

struct PacedBlock {
  const uint8_t* data;  // the caller's until it comes back
  size_t length, sent;
  intptr_t tag;
  Clock::time_point end;  // when its last sample is due, once all is sent
};

struct Pacing {
  std::mutex lock;
  std::condition_variable wake;
  std::deque<PacedBlock> blocks;
  platform::AudioFormat format;
  Clock::time_point heldUntil;  // when what the server was given ends
  Clock::duration lead = std::chrono::milliseconds(kDefaultLeadMs);
  bool muted = false;           // a STOP came: nothing goes out until the next message
  size_t lastSliceBytes = 0;    // the last 705 event's size
  bool quit = false;
  std::vector<int16_t> samples;
  std::thread sender;
};
Pacing P;

// Hands every block back (with P.lock held).
void ReturnBlocks() {
  for (const PacedBlock& b : P.blocks) platform::PostMessage(platform::MM_WOM_DONE, 0, b.tag);
  P.blocks.clear();
  P.wake.notify_one();
}

// The next slice of a block as a 705 event (8-bit sound made 16-bit).
void SendSlice(PacedBlock& b) {
  const size_t width = P.format.bits / 8;
  const size_t count = std::min((b.length - b.sent) / width, size_t(P.format.rate * kSliceMs / 1000));
  const uint8_t* p = b.data + b.sent;
  P.samples.clear();
  for (size_t i = 0; i < count; ++i, p += width)
    P.samples.push_back(width == 1 ? int16_t((int(p[0]) - 128) << 8) : int16_t(p[0] | p[1] << 8));
  b.sent = count == 0 ? b.length : b.sent + count * width;
  if (count > 0) {
    const std::string event = sd::AudioEvent(P.samples.data(), count, P.format.rate);
    P.lastSliceBytes = event.size();
    Send(event);
  }
  P.heldUntil = std::max(P.heldUntil, Clock::now()) +
                std::chrono::microseconds(int64_t(count) * 1000000 / P.format.rate);
  if (b.sent == b.length) b.end = P.heldUntil;
}

// A server that has not read our last slice yet (it is busy, or stuck):
// nothing more goes into the pipe, so that what waits there for it never
// outgrows about one slice (and a line or two), and the sender never
// blocks on a full pipe.
bool ServerBehind() {
  static const bool pipe = platform::IsPipe(STDOUT_FILENO);  // it stays what it was
  return pipe && platform::UnreadInPipe(STDOUT_FILENO) > long(P.lastSliceBytes + 256);
}

// The sender thread: sleeps until the next slice is due or the front
// block has been played; a write, a reset or a STOP wakes it.
void SendPaced() {
  std::unique_lock<std::mutex> g(P.lock);
  while (!P.quit) {
    const Clock::time_point now = Clock::now();
    auto next = std::find_if(P.blocks.begin(), P.blocks.end(),
                             [](const PacedBlock& b) { return b.sent < b.length; });
    const bool played = !P.blocks.empty() && P.blocks.front().sent == P.blocks.front().length;
    if (played && now >= P.blocks.front().end) {
      platform::PostMessage(platform::MM_WOM_DONE, 0, P.blocks.front().tag);
      P.blocks.pop_front();
    } else if (next != P.blocks.end() && now >= P.heldUntil - P.lead) {
      if (ServerBehind())
        P.wake.wait_until(g, now + kBehindRetry);  // nothing tells us when the server reads
      else
        SendSlice(*next);
    } else {
      Clock::time_point due = played ? P.blocks.front().end : Clock::time_point::max();
      if (next != P.blocks.end()) due = std::min(due, P.heldUntil - P.lead);
      if (due == Clock::time_point::max())
        P.wake.wait(g);
      else
        P.wake.wait_until(g, due);
    }
  }
}

// The reader's side of STOP: the rest goes nowhere until the next message.
// Returns the microseconds of sound the server still has to play.
int64_t MuteServerAudio(bool muted) {
  std::lock_guard<std::mutex> g(P.lock);
  P.muted = muted;
  if (muted) ReturnBlocks();
  return std::max<int64_t>(0, std::chrono::duration_cast<std::chrono::microseconds>(
                                  P.heldUntil - Clock::now()).count());
}

void EndServerAudio() {
  if (!P.sender.joinable()) return;
  {
    std::lock_guard<std::mutex> g(P.lock);
    P.quit = true;
    ReturnBlocks();
  }
  P.sender.join();
}

class ServerAudioOut : public platform::AudioOut {
 public:
  int Open(const platform::AudioFormat& format) override {
    if ((format.bits != 8 && format.bits != 16) || format.channels != 1 || format.rate == 0)
      return platform::AUDIO_BADFORMAT;
    std::lock_guard<std::mutex> g(P.lock);
    ReturnBlocks();
    P.format = format;
    return platform::AUDIO_OK;
  }
  void Write(const uint8_t* data, size_t length, intptr_t tag) override {
    std::lock_guard<std::mutex> g(P.lock);
    if (P.muted) return platform::PostMessage(platform::MM_WOM_DONE, 0, tag);
    P.blocks.push_back({data, length, 0, tag, {}});
    P.wake.notify_one();
  }
  void Reset() override {
    std::lock_guard<std::mutex> g(P.lock);
    ReturnBlocks();
  }
  void Close() override { Reset(); }
};

void Push(Request r) {
  {
    std::lock_guard<std::mutex> g(M.inboxLock);
    M.inbox.push_back(std::move(r));
  }
  platform::PostMessage(platform::WM_SPEECH_WAKE);
}

bool ReadLine(std::string& line) {
  char* buffer = nullptr;
  size_t size = 0;
  ssize_t n = getline(&buffer, &size, stdin);
  if (n < 0) {
    std::free(buffer);
    return false;
  }
  line.assign(buffer, size_t(n));
  std::free(buffer);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return true;
}

// The lines of a command's data, up to the line ".".
bool ReadData(std::vector<std::string>& lines) {
  for (std::string line; ReadLine(line);) {
    if (line == ".") return true;
    lines.push_back(sd::DataLine(line));
  }
  return false;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += (out.empty() ? "" : "\n") + l;
  return out;
}

// AUDIO: speech-dispatcher's own audio is taken unless SONARIS_AUDIO chose
// ours; then the server's next offer (its audio settings) is accepted and
// left unused.
std::string AnswerAudio(const std::vector<std::string>& lines) {
  for (const std::string& l : lines)
    if (l == "audio_output_method=server") {
      if (M.ownAudio) return "300-SONARIS_AUDIO escolhe a sa\xC3\xAD" "da de som\n300 MODULE ERROR\n";
      M.serverAudio = true;
    }
  return "203 OK AUDIO INITIALIZED\n";
}

// Ends every message taken so far, the one being said at once.
void StopAll() {
  M.stoppedThrough = M.taken;
  if (M.serverAudio) {
    const int64_t held = MuteServerAudio(true);
    Log("som que o servidor ainda toca: " + std::to_string(held / 1000) + "," +
        std::to_string(held / 100 % 10) + " ms");
  }
  // As a key: the first note silences the device, the key ends the speech.
  platform::PostMessage(platform::WM_KEY_ARRIVING);
  platform::PostMessage(platform::WM_CHAR, 27);
}

// QUIT, or the server gone: nothing more is said, also not the rest of
// the message being said.
void Quit() {
  StopAll();
  Push({Command::Quit, "", {}});
}

void ReaderLoop() {
  for (std::string line; ReadLine(line);) {
    Command c = sd::ParseCommand(line);
    std::vector<std::string> data;
    switch (c) {
      case Command::Stop:
        Log("STOP recebido");
        StopAll();
        break;
      case Command::Pause:
        M.pauseFor = M.taken;
        break;
      case Command::ListVoices:
        Send(sd::VoiceList(M.voices));
        break;
      case Command::Speak:
      case Command::Char:
      case Command::Key:
      case Command::SoundIcon: {
        Send("202 OK RECEIVING MESSAGE\n");
        if (!ReadData(data)) return Quit();
        std::string text = Joined(data);
        if (text.empty() || (c != Command::Speak && data.size() > 1)) {
          Send(text.empty() ? "301 ERROR CANT SPEAK\n" : "305 DATA MORE THAN ONE LINE\n");
          break;
        }
        Send("200 OK SPEAKING\n");
        Push({c, text, M.settings, ++M.taken});
        break;
      }
      case Command::Set:
      case Command::Audio:
      case Command::LogLevel: {
        Send("207 OK RECEIVING SETTINGS\n");
        if (!ReadData(data)) return Quit();
        bool ok = true;
        if (c == Command::Set)
          for (const std::string& l : data) ok = sd::ApplySetting(M.settings, l) && ok;
        Send(c == Command::Audio ? AnswerAudio(data)
             : !ok               ? "303 ERROR INVALID PARAMETER OR VALUE\n"
             : c == Command::Set ? "203 OK SETTINGS RECEIVED\n"
                                 : "203 OK LOGLEVEL SET\n");
        break;
      }
      case Command::Debug:
        Send(line.find(" ON") != std::string::npos ? "200 OK DEBUGGING ON\n" : "200 OK DEBUGGING OFF\n");
        break;
      case Command::Quit:
        return Quit();
      default:
        Send("300 ERR UNKNOWN COMMAND\n");
    }
  }
  Quit();  // the server closed our input
}

bool TakeRequest(Request& r) {
  std::lock_guard<std::mutex> g(M.inboxLock);
  if (M.inbox.empty()) return false;
  r = std::move(M.inbox.front());
  M.inbox.pop_front();
  return true;
}

bool ReachMark(const std::string& mark) {
  Send("700-" + mark + "\n700 INDEX MARK\n");
  uint64_t current = M.speaking;
  return M.pauseFor.compare_exchange_strong(current, 0);
}

void Speak(const Request& r) {
  // Older STOPs are forgotten; one that came after this message was taken
  // (its key may have just been forgotten) ends it before a sound.
  sd::ForgetStops();
  if (r.number <= M.stoppedThrough) {
    Log("fala parada antes de come\xC3\xA7" "ar");
    Send("701 BEGIN\n703 STOP\n");
    return;
  }
  if (M.serverAudio) MuteServerAudio(false);
  M.speaking = r.number;
  Send("701 BEGIN\n");
  sd::Outcome o = sd::Outcome::Ended;
  switch (r.command) {
    case Command::Speak:
      o = sd::SpeakPieces(sd::SplitSsml(r.text), r.settings, ReachMark);
      break;
    case Command::Char:
      o = sd::SpeakCharacter(r.text, r.settings);
      break;
    case Command::Key:
      o = sd::SpeakKey(r.text, r.settings);
      break;
    default:
      o = sd::PlayIcon();
  }
  if (o == sd::Outcome::Failed) Log("erro: " + sd::VoiceError());
  if (o == sd::Outcome::Stopped) Log("fala parada");
  Send(o == sd::Outcome::Ended    ? "702 END\n"
       : o == sd::Outcome::Paused ? "704 PAUSE\n"
                                  : "703 STOP\n");
}

// The "Key value" lines of the module's configuration file, read once.
std::map<std::string, std::string> ReadConf(const std::string& path) {
  std::map<std::string, std::string> conf;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    size_t space = line.find_first_of(" \t");
    if (line.empty() || line[0] == '#' || space == std::string::npos) continue;
    std::string value = line.substr(space);
    size_t a = value.find_first_not_of(" \t\""), b = value.find_last_not_of(" \t\"\r");
    conf.emplace(line.substr(0, space), a == std::string::npos ? std::string() : value.substr(a, b - a + 1));
  }
  return conf;
}

void Configure(int argc, char** argv) {
  std::map<std::string, std::string> conf = ReadConf(argc > 1 ? argv[1] : "");
  // The data folder of an installed Sonaris, which the module's own folder
  // does not lead to.
  if (!conf["SonarisData"].empty()) setenv("SONARIS_DATA", conf["SonarisData"].c_str(), 0);
  // SonarisAudio: our own back end for this module alone (as SONARIS_AUDIO).
  if (!conf["SonarisAudio"].empty()) setenv("SONARIS_AUDIO", conf["SonarisAudio"].c_str(), 1);
  // SonarisAudioLead: milliseconds of sound the server may hold ahead.
  if (!conf["SonarisAudioLead"].empty()) {
    const int ms = std::atoi(conf["SonarisAudioLead"].c_str());
    P.lead = std::chrono::milliseconds(std::clamp(ms, 0, kMaxLeadMs));
  }
  setenv("SONARIS_DISPLAY", "headless", 1);
  const char* audio = std::getenv("SONARIS_AUDIO");
  M.ownAudio = audio && *audio;
}

// Once the server has taken our audio, the wave device is its.
void UseServerAudio() {
  if (!M.serverAudio || M.serverAudioInstalled) return;
  WaveEnd();
  platform::SetAudioOutFactory([] { return std::unique_ptr<platform::AudioOut>(new ServerAudioOut); });
  P.sender = std::thread(SendPaced);
  M.serverAudioInstalled = true;
}

}  // namespace

int main(int argc, char** argv) {
  Configure(argc, argv);
  std::string line;
  if (!ReadLine(line) || line != "INIT") {
    Log("erro: o servidor n\xC3\xA3o come\xC3\xA7ou com INIT");
    return 3;
  }
  std::string why = sd::StartVoices(M.voices);
  if (M.voices.empty()) {
    Log("erro: nenhuma voz iniciou: " + why);
    Send("399-" + why + "\n399 ERR CANT INIT MODULE\n");
    return 1;
  }
  if (!why.empty()) Log("aviso: " + why);
  std::string names;
  for (const sd::Voice* v : M.voices) names += std::string(names.empty() ? "" : ", ") + v->name;
  Send("299-Sonaris: vozes " + names + (why.empty() ? "" : " (" + why + ")") +
       "\n299 OK LOADED SUCCESSFULLY\n");
  std::thread reader(ReaderLoop);
  reader.detach();  // it ends with our input; the program does not wait for it
  for (;;) {
    Request r;
    if (!TakeRequest(r)) {
      platform::WaitMessage();
      PumpMessages();
      continue;
    }
    if (r.command == Command::Quit) break;
    UseServerAudio();
    Speak(r);
  }
  sd::EndVoices();
  EndServerAudio();
  Send("210 OK QUIT\n");
  return 0;
}
