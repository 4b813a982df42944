// bench-diphone [TEXT-FILE...]: how many times faster than real time the
// diphone synthesizer renders a long text (goal: more than 200), and how
// long a SpeakPhonetic call takes to hand its first block to the device.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "diphone/diphone.h"
#include "diphone/sound.h"
#include "platform/os/text.h"
#include "speech/sncrt.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// The corpus: every text file of data/corpus in name order, unless files
// are named.
std::vector<std::string> CorpusFiles(int argc, char** argv) {
  std::vector<std::string> files(argv + 1, argv + argc);
  if (!files.empty()) return files;
  namespace fs = std::filesystem;
  std::error_code ec;
  for (const auto& e :
       fs::directory_iterator(fs::path(SONARIS_SOURCE_DIR) / "data" / "corpus", ec)) {
    if (e.path().extension() == ".txt") files.push_back(e.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string ReadText(const std::vector<std::string>& files) {
  std::string text;
  for (const std::string& path : files) {
    std::ifstream in(path, std::ios::binary);
    text.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    text += ' ';
  }
  for (char& c : text) {
    if (c == '\n' || c == '\r' || c == '\t') c = ' ';
  }
  return platform::Utf8ToCp1252(text);
}

// Hands the first block to the wave device as speaking does, noting when
// it arrives; later blocks are not played, so that the figure comes without
// waiting for the whole text to sound.
class TimedDevice : public SoundSink {
 public:
  Clock::time_point start;
  double firstBlock = -1;
  void Play(uint8_t* image, size_t samples) override {
    if (firstBlock >= 0) return;
    firstBlock = Seconds(start);
    MakeWaveHeader(image, static_cast<uint32_t>(samples), kSampleRate, 8, 1);
    PlayWaveImage(image);
  }
  void WaitPlayed() override {}
};

void RenderSpeed(const std::string& phonetic, size_t words) {
  std::vector<unsigned char> samples;
  RenderPhonetic(phonetic, false, samples);  // warm the file cache
  const int rounds = 5;
  Clock::time_point t = Clock::now();
  for (int i = 0; i < rounds; ++i) {
    samples.clear();
    RenderPhonetic(phonetic, false, samples);
  }
  double elapsed = Seconds(t) / rounds;
  double audio = static_cast<double>(samples.size()) / kSampleRate;
  std::printf("render: %zu words, %.1f s of speech in %.4f s: %.0fx real time (goal > 200x)\n",
              words, audio, elapsed, elapsed > 0 ? audio / elapsed : 0.0);
}

void FirstBlockLatency(const char* label, const std::string& text) {
  std::string phonetic;
  TranslateText(text, phonetic);
  TimedDevice device;
  device.start = Clock::now();
  SynthesizePhonetic(phonetic, false, &device);
  std::printf("first block to the device (%s): %.2f ms\n", label, device.firstBlock * 1000);
}

size_t CountWords(const std::string& text) {
  size_t words = 0;
  bool inWord = false;
  for (char c : text) {
    bool letter = c != ' ';
    words += letter && !inWord;
    inWord = letter;
  }
  return words;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("SONARIS_DISPLAY", "headless", 0);
  setenv("SONARIS_AUDIO", "null", 0);
  std::string text = ReadText(CorpusFiles(argc, argv));
  if (text.find_first_not_of(' ') == std::string::npos) {
    std::fprintf(stderr, "bench-diphone: nenhum texto em data/corpus nem nos arquivos dados\n");
    return 1;
  }
  // The normal speed level's settings, without the program's start-up,
  // which would wait for Enter when the database is missing.
  LoadSynthTuning(3);
  if (DiphoneDbName.empty()) DiphoneDbName = "DIFONES2";
  if (int code = DiphoneStart(); code != 0) {
    std::fprintf(stderr, "bench-diphone: banco de dados de voz \"%s\" não abriu (erro %d)\n",
                 DiphoneDbName.c_str(), code);
    return 1;
  }
  std::string phonetic;
  Clock::time_point t = Clock::now();
  TranslateText(text, phonetic);
  std::printf("translate: %zu words in %.4f s\n", CountWords(text), Seconds(t));
  RenderSpeed(phonetic, CountWords(text));
  FirstBlockLatency("one sentence", text.substr(0, text.find('.', 40) + 1));
  FirstBlockLatency("a paragraph, first full buffer", text.substr(0, 3000));
  DiphoneEnd();
  return 0;
}
