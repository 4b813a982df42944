// build-sounds TABLE OUTDIR: the recorded letters, words and telephone
// tones of the letters folder, from espeak-ng's Brazilian Portuguese voice.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tools/build-sounds/pcm.h"
#include "tools/build-sounds/speak.h"
#include "tools/build-sounds/table.h"

namespace {

struct Tone {
  const char* key;  // file name after "dtmf_"
  double low, high;
};
// The keypad's row and column frequencies; "*" is stored as X.
constexpr Tone kTones[] = {
    {"1", 697, 1209}, {"2", 697, 1336}, {"3", 697, 1477}, {"4", 770, 1209},
    {"5", 770, 1336}, {"6", 770, 1477}, {"7", 852, 1209}, {"8", 852, 1336},
    {"9", 852, 1477}, {"X", 941, 1209}, {"0", 941, 1336}, {"#", 941, 1477},
};
constexpr size_t kToneSamples = voicedata::kRate * 15 / 100;  // 150 ms

bool WriteSound(const std::filesystem::path& dir, const std::string& name, const std::vector<uint8_t>& data) {
  return voicedata::WriteFile((dir / (name + ".wav")).string(), voicedata::WaveImage8(data, voicedata::kRate));
}

int BuildTones(const std::filesystem::path& dir) {
  int failures = 0;
  for (const Tone& t : kTones) {
    const auto tone = voicedata::DualTone(t.low, t.high, kToneSamples, voicedata::kRate);
    if (!WriteSound(dir, std::string("dtmf_") + t.key, voicedata::ToUnsigned8(tone, 1.0))) ++failures;
  }
  return failures;
}

int BuildWords(const std::vector<voicedata::SoundEntry>& table, const std::filesystem::path& dir) {
  int failures = 0;
  for (const voicedata::SoundEntry& e : table) {
    const auto data = voicedata::SayText(e.text, e.pitch);
    if (data.empty() || !WriteSound(dir, e.name, data)) {
      std::fprintf(stderr, "build-sounds: falhou %s (%s)\n", e.name.c_str(), e.text.c_str());
      ++failures;
    }
  }
  return failures;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "uso: build-sounds TABELA PASTA\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::stringstream contents;
  contents << in.rdbuf();
  std::vector<std::string> errors;
  const auto table = voicedata::ParseSoundTable(contents.str(), errors);
  for (const std::string& e : errors) std::fprintf(stderr, "build-sounds: %s: %s\n", argv[1], e.c_str());
  if (!in || table.empty() || !errors.empty()) return 1;
  const std::filesystem::path dir = argv[2];
  std::filesystem::create_directories(dir);
  if (!voicedata::OpenVoice()) {
    std::fprintf(stderr, "build-sounds: a voz pt-br do espeak-ng n\xC3\xA3o abriu\n");
    return 1;
  }
  const int failures = BuildWords(table, dir) + BuildTones(dir);
  voicedata::CloseVoice();
  std::printf("build-sounds: %zu sons em %s\n", table.size() + std::size(kTones), dir.c_str());
  return failures == 0 ? 0 : 1;
}
