// Duration of the same texts at speed levels 1 to 5 with the settings found
// from the build folder (its SONARIS.INI, else the installed sample).
// Sound goes to a wav: capture, which plays in real time, so the time that
// SpeakText takes is the time a listener waits.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "console/snwin.h"
#include "speech/sncrt.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Levels = 5;

struct Sample {
  const char* name;
  std::function<void()> speak;
};

const Sample Samples[] = {
    {"123456 abc", [] { SpeakText("123456 abc"); }},
    {"sentence", [] {
       SpeakText("Digite a data do seu nascimento e o programa vai dizer quantos dias "
                 "voc\xEA j\xE1 viveu.");
     }},
    {"digits 123456", [] { SpeakText("123456"); }},
    {"letters a b c", [] { SpellText("abc"); }},
};
constexpr int SampleCount = sizeof(Samples) / sizeof(Samples[0]);

double Seconds(const std::function<void()>& speak) {
  Clock::time_point start = Clock::now();
  speak();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main() {
  if (!std::filesystem::exists("SONARIS.INI")) {
    std::printf("run from the build folder, where SONARIS.INI and the speech data are\n");
    return 1;
  }
  auto temp = std::filesystem::temp_directory_path();
  std::string capture = (temp / "bench-levels.wav").string();
  std::string windir = (temp / "bench-levels-config").string();
  std::filesystem::create_directories(windir);
  std::filesystem::remove(windir + "/SONARIS.INI");  // the build's settings only
  setenv("SONARIS_WINDIR", windir.c_str(), 1);
  setenv("SONARIS_DISPLAY", "headless", 0);
  setenv("SONARIS_AUDIO", ("wav:" + capture).c_str(), 1);
  OpenConsole();

  double took[Levels][SampleCount];
  for (int level = 1; level <= Levels; ++level) {
    StartSpeech(level, "");
    for (int i = 0; i < SampleCount; ++i) took[level - 1][i] = Seconds(Samples[i].speak);
    EndSpeech();
  }

  std::printf("%-6s", "level");
  for (const Sample& s : Samples) std::printf("%16s", s.name);
  std::printf("\n");
  for (int level = 0; level < Levels; ++level) {
    std::printf("%-6d", level + 1);
    for (int i = 0; i < SampleCount; ++i) std::printf("%15.2fs", took[level][i]);
    std::printf("\n");
  }
  std::printf("%-6s", "faster");
  for (int i = 0; i < SampleCount; ++i) {
    int steps = 0;
    for (int level = 1; level < Levels; ++level) steps += took[level][i] < took[level - 1][i];
    std::printf("%10d of %d", steps, Levels - 1);
  }
  std::printf("  (levels faster than the one below)\n");
  std::filesystem::remove(capture);
  CloseConsole();
}
