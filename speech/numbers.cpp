// Numbers as Portuguese words, spoken by joining the recorded word files
// into one sound.
#include <algorithm>
#include <vector>

#include "diphone/diphone.h"
#include "platform/os/paths.h"
#include "platform/os/riff.h"
#include "speech/crtstate.h"
#include "speech/sncrt.h"
#include "tts/number_words.h"

namespace {

constexpr uint32_t NumberBufferBytes = 30000;

const NumberWords& W = kNumberWords;

int Digit(char c) { return c - '0'; }


std::vector<uint8_t> WordSamples(const std::string& name) {
  std::vector<uint8_t> samples;
  platform::ReadWaveSamples(platform::ResolvePath(SynthLettersDir + name + ".wav"), samples);
  return samples;
}

struct NumberSound {
  std::vector<uint8_t> image = std::vector<uint8_t>(WaveHeaderBytes + NumberBufferBytes);
  uint32_t filled = 0;

  void Play() {
    if (filled == 0) return;
    MakeWaveHeader(image.data(), filled, 11025, 8, 1);
    PlayWaveImage(image.data());
    WaitWhileSpeaking();
    filled = 0;
  }

  // A word that does not fit after what is there starts a new sound; one
  // longer than the whole buffer is played in buffer-sized parts.
  void Append(const std::vector<uint8_t>& samples) {
    if (filled + samples.size() > NumberBufferBytes) Play();
    size_t done = 0;
    while (done < samples.size()) {
      size_t n = std::min<size_t>(samples.size() - done, NumberBufferBytes - filled);
      std::copy_n(samples.begin() + done, n, image.begin() + WaveHeaderBytes + filled);
      filled += uint32_t(n);
      done += n;
      if (done < samples.size()) Play();
    }
  }
};

std::vector<std::string> SplitWords(const std::string& words) {
  std::vector<std::string> out;
  size_t at = 0;
  while (at < words.size()) {
    size_t end = words.find(' ', at);
    if (end == std::string::npos) end = words.size();
    if (end > at) out.push_back(words.substr(at, end - at));
    at = end + 1;
  }
  return out;
}

}  // namespace

std::string NumberWordFileName(std::string w, bool feminineLast) {
  // Recording names carry no accents: três is _tres, cinqüenta _cinquen.
  for (char& c : w) {
    if (c == '\xE3') c = 'a';
    if (c == '\xF5') c = 'o';
    if (c == '\xEA') c = 'e';
    if (c == '\xFC') c = 'u';
  }
  if (w == "dezessete") w = "dezeset";
  std::string name = ("_" + w).substr(0, 8);
  if (feminineLast && name == "_um") name = "_uma";
  if (feminineLast && name == "_dois") name = "_duas";
  return name;
}

std::string HundredsToWords(const std::string& d) {
  return NumberGroupWords(Digit(d[0]) * 100 + Digit(d[1]) * 10 + Digit(d[2]));
}

std::string GroupToWords(const std::string& digits, int i) {
  std::string group = digits.substr(size_t(i) * 3, 3);
  std::string w = HundredsToWords(group);
  if (*W.scaleOne[i] != '\0' && group != "000")
    w += std::string(" ") + (group == "001" ? W.scaleOne[i] : W.scaleMany[i]);
  return w;
}

std::string NumberToWords(int64_t n) {
  // Callers pass no negative number; should one come, its size is said.
  uint64_t v = n < 0 ? 0 - uint64_t(n) : uint64_t(n);
  if (v == 0) return "zero";
  std::string digits = std::string(14, '0') + std::to_string(v);
  digits = digits.substr(digits.size() - 15);
  std::string groups[5];
  int last = 0;
  for (int i = 0; i < 5; ++i)
    if (!(groups[i] = GroupToWords(digits, i)).empty()) last = i;
  std::string w;
  for (int i = 0; i < 5; ++i) {
    if (groups[i].empty()) continue;
    if (i == last && !w.empty()) w += "e ";
    w += groups[i];
  }
  if (w.compare(0, 6, "um mil") == 0 && w.compare(0, 7, "um milh") != 0) w.erase(0, 3);
  return w;
}

void SpeakWords(const std::string& words, bool feminine) {
  NumberSound sound;
  std::vector<std::string> list = SplitWords(words);
  for (size_t i = 0; i < list.size(); ++i) {
    if (i > 0) sound.Append(std::vector<uint8_t>(size_t(Crt.recordedGap), 128));
    sound.Append(WordSamples(NumberWordFileName(list[i], feminine && i + 1 == list.size())));
  }
  sound.Play();
}
