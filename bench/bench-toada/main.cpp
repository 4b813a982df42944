// bench-toada: Toada's timings, side by side with espeak-ng driving the
// same MBROLA voice (br4):
//   1. from ToadaSpeak to the first block reaching the audio device (the
//      text's mbrola child is started and loads its voice inside this
//      time: one child per text); espeak-ng's figure also holds its process
//      start, which bench-first-sound measures for both;
//   2. whole-text synthesis of a 5,000-word text, as a multiple of real time.
// A key's figure comes from real keys in bench-keys.
// Toada runs in-process against a timing device that plays each block in
// real time. espeak-ng runs as `espeak-ng --path=PRIVATE -v mb-br4`, where
// PRIVATE is a temporary data folder: links to the system's espeak-ng data
// plus mbrola/br4 linked to the project's voice file, with the project's
// `mbrola` first in PATH, so it speaks with exactly our MBROLA and voice.
// Run from the build folder (its SONARIS.INI names the Toada files).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>

#include "console/snwin.h"
#include "platform/audio/audio.h"
#include "platform/voices/mbrola.h"
#include "platform/os/messages.h"
#include "platform/os/spawn.h"
#include "speech/sncrt.h"
#include "tts/snfonserv.h"
#include "tts/toada.h"
#include "wave/snwav.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

const char* const Sentence = "Bom dia, Maria. Voc\xEA nasceu numa quinta-feira.";

// A device that plays each block in real time on a thread of its own and
// notes when the first block arrived and when it was reset.
struct TimingLog {
  std::mutex lock;
  std::condition_variable wake;
  std::deque<std::pair<intptr_t, double>> queue;  // tag, seconds of sound
  uint32_t bytesPerSecond = 32000;
  Clock::time_point firstWrite{}, reset{};
  bool stop = false;
} T;

class TimingDevice : public platform::AudioOut {
 public:
  TimingDevice() : player_([] { Play(); }) {}
  ~TimingDevice() override {
    {
      std::lock_guard<std::mutex> g(T.lock);
      T.stop = true;
    }
    T.wake.notify_all();
    player_.join();
    T.stop = false;
  }
  int Open(const platform::AudioFormat& f) override {
    T.bytesPerSecond = f.rate * f.channels * f.bits / 8;
    return platform::AUDIO_OK;
  }
  void Write(const uint8_t*, size_t length, intptr_t tag) override {
    std::lock_guard<std::mutex> g(T.lock);
    if (T.firstWrite == Clock::time_point{}) T.firstWrite = Clock::now();
    T.queue.emplace_back(tag, double(length) / T.bytesPerSecond);
    T.wake.notify_all();
  }
  void Reset() override {
    std::lock_guard<std::mutex> g(T.lock);
    if (T.reset == Clock::time_point{}) T.reset = Clock::now();
    for (auto& [tag, seconds] : T.queue) platform::PostMessage(platform::MM_WOM_DONE, 0, tag);
    T.queue.clear();
  }
  void Close() override { Reset(); }

 private:
  static void Play() {
    std::unique_lock<std::mutex> g(T.lock);
    while (!T.stop) {
      if (T.queue.empty()) {
        T.wake.wait(g);
        continue;
      }
      const intptr_t tag = T.queue.front().first;
      const double seconds = T.queue.front().second;
      auto due = Clock::now() + std::chrono::duration<double>(seconds);
      // Woken early by a reset, which returns the block itself.
      if (T.wake.wait_until(g, due, [&] { return T.stop || T.queue.empty() || T.queue.front().first != tag; }))
        continue;
      T.queue.pop_front();
      platform::PostMessage(platform::MM_WOM_DONE, 0, tag);
    }
  }
  std::thread player_;
};

void ResetTimes() {
  std::lock_guard<std::mutex> g(T.lock);
  T.firstWrite = T.reset = Clock::time_point{};
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

void WaitSilence() {
  while (ToadaBusy()) Delay(5);
  while (KeyPressed()) ReadKey();
}

// ---- espeak-ng with the same MBROLA voice ----

struct EspeakSetup {
  std::string dataPath, binPath;
  bool ok = false;
};

EspeakSetup PrepareEspeak() {
  EspeakSetup e;
  std::string voice = platform::MbrolaVoiceFile("br4"), program = platform::MbrolaProgram();
  const char* systemData[] = {"/usr/lib/x86_64-linux-gnu/espeak-ng-data", "/usr/share/espeak-ng-data"};
  std::string data;
  for (const char* d : systemData)
    if (fs::exists(std::string(d) + "/voices/mb/mb-br4")) data = d;
  if (voice.empty() || program.empty() || data.empty()) return e;
  char pattern[] = "/tmp/bench-toada-XXXXXX";
  if (!mkdtemp(pattern)) return e;
  e.dataPath = pattern;
  fs::create_directories(e.dataPath + "/espeak-ng-data/mbrola");
  fs::create_directories(e.dataPath + "/bin");
  for (const auto& entry : fs::directory_iterator(data))
    fs::create_symlink(entry.path(), e.dataPath + "/espeak-ng-data/" + entry.path().filename().string());
  fs::create_symlink(voice, e.dataPath + "/espeak-ng-data/mbrola/br4");
  fs::create_symlink(program, e.dataPath + "/bin/mbrola");
  e.binPath = e.dataPath + "/bin";
  std::string path = e.binPath + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin");
  setenv("PATH", path.c_str(), 1);
  e.ok = true;
  return e;
}

// Runs espeak-ng; returns ms to the first sample on its output (past the
// 44-byte header) and ms to its end, and the bytes of sound.
bool RunEspeak(const EspeakSetup& e, const std::vector<std::string>& args, double& first,
               double& total, size_t& bytes) {
  std::vector<std::string> all{"--path=" + e.dataPath, "-v", "mb-br4"};
  all.insert(all.end(), args.begin(), args.end());
  platform::PipedChild c;
  auto start = Clock::now();
  if (!platform::StartPipedChild("/usr/bin/espeak-ng", all, c)) return false;
  platform::CloseChildInput(c);
  bytes = 0;
  first = -1;
  char chunk[65536];
  while (c.output >= 0) {
    pollfd p{c.output, POLLIN, 0};
    if (poll(&p, 1, 30000) <= 0) break;
    ssize_t n = read(c.output, chunk, sizeof chunk);
    if (n <= 0) break;
    bytes += size_t(n);
    if (first < 0 && bytes > 44) first = Ms(start, Clock::now());
  }
  total = Ms(start, Clock::now());
  bytes = bytes > 44 ? bytes - 44 : 0;
  return platform::EndPipedChild(c) == 0 && first >= 0;
}

std::string LongText(int words) {
  const char* paragraph =
      "O Sol governa o signo de Le\xE3o, e quem nasce sob ele costuma ser generoso, "
      "orgulhoso e leal. Em 15 de mar\xE7o de 1990 era uma quinta-feira; desde ent\xE3o "
      "passaram-se muitos dias, e o cora\xE7\xE3o bateu milh\xF5" "es de vezes. ";
  std::string text;
  int count = 0;
  while (count < words) {
    text += paragraph;
    for (const char* p = paragraph; *p; ++p) count += *p == ' ';
  }
  return text;
}

}  // namespace

int main() {
  std::printf("Toada in process against espeak-ng mb-br4 as a process: first block, and synthesis "
              "speed of 5,000 words\n");
  std::fflush(stdout);
  setenv("SONARIS_DISPLAY", "headless", 0);
  platform::SetAudioOutFactory([] { return std::make_unique<TimingDevice>(); });
  ToadaLoadSettings(ReadConfig);
  if (!ToadaStart(0, 0, 0, "")) {
    std::fprintf(stderr, "bench-toada: o Toada n\xC3\xA3o abriu (MBROLA e dados do Toada?)\n");
    return 1;
  }
  WaitSilence();
  EspeakSetup espeak = PrepareEspeak();
  const int Rounds = 15;

  // 1. Time to the first block.
  std::vector<double> toada, esp;
  for (int i = 0; i < Rounds; ++i) {
    ResetTimes();
    auto start = Clock::now();
    ToadaSpeak(Sentence);
    toada.push_back(Ms(start, T.firstWrite));
    WaitSilence();
    double first, total;
    size_t bytes;
    if (espeak.ok && RunEspeak(espeak, {"--stdout", Sentence}, first, total, bytes)) esp.push_back(first);
  }
  std::printf("first block:   Toada from ToadaSpeak (child start and voice load included) median "
              "%.1f ms (max %.1f)   espeak-ng mb-br4 from process start median %.1f ms\n",
              Median(toada), *std::max_element(toada.begin(), toada.end()), Median(esp));

  // 2. A 5,000-word text synthesized into a file.
  std::string text = LongText(5000);
  std::string wav = "/tmp/bench-toada-" + std::to_string(getpid()) + ".wav";
  ToadaEnd();
  auto start = Clock::now();
  ToadaStart(0, 0, 0, wav);
  ToadaSpeak(text);
  ToadaEnd();
  double toadaMs = Ms(start, Clock::now());
  double toadaAudio = double(fs::file_size(wav) - 44) / (2.0 * VoiceRate());
  fs::remove(wav);
  std::printf("5,000 words:   Toada %.0f s of speech in %.2f s = %.0f x real time", toadaAudio,
              toadaMs / 1000, toadaAudio * 1000 / toadaMs);
  std::string textFile = "/tmp/bench-toada-" + std::to_string(getpid()) + ".txt";
  std::ofstream(textFile, std::ios::binary) << text;
  double first, total;
  size_t bytes;
  if (espeak.ok && RunEspeak(espeak, {"--stdout", "-f", textFile}, first, total, bytes))
    std::printf("   espeak-ng mb-br4 %.0f s in %.2f s = %.0f x real time\n", bytes / 32000.0,
                total / 1000, bytes / 32000.0 * 1000 / total);
  else
    std::printf("   espeak-ng mb-br4: not available\n");
  fs::remove(textFile);

  if (espeak.ok) fs::remove_all(espeak.dataPath);
  CloseConsoleWindow();
  return 0;
}
