// sonaris-play FILE.wav...: plays WAV files through the sound back end of
// SONARIS_AUDIO, one after the other; any key typed on the terminal stops.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "console/snwin.h"
#include "platform/display/display.h"
#include "wave/snwav.h"

namespace {

const char kUsage[] =
    "uso: sonaris-play ARQUIVO.wav...\n"
    "Toca os arquivos WAV um após o outro; com a entrada padrão num terminal,\n"
    "qualquer tecla interrompe.\n"
    "SONARIS_AUDIO escolhe a saída: device (padrão), wav:ARQUIVO ou null.\n"
    "Manual: man sonaris-play\n";

std::string Failure(const char* file, int code) {
  if (code < 0)
    return std::string("sonaris-play: não foi possível tocar '") + file +
           "': o arquivo não existe ou não é um WAV legível.";
  return std::string("sonaris-play: não foi possível tocar '") + file +
         "': o dispositivo de som recusou o formato (erro " + std::to_string(code) + ").";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  // Nothing to show; keys come from the terminal when there is one, and a
  // pipe or /dev/null is no one pressing a key.
  setenv("SONARIS_DISPLAY", "keys", 1);
  OpenConsole();
  WaveStart();
  std::vector<std::string> failures;
  for (int i = 1; i < argc && !KeyPressed(); ++i) {
    int code = PlayWaveFile(argv[i]);
    if (code != 0) failures.push_back(Failure(argv[i], code));
  }
  WaveEnd();
  // Messages go to the real terminal, not to the console's screen.
  if (platform::Display* d = platform::ActiveDisplay()) d->Close();
  for (const std::string& f : failures) std::fprintf(stderr, "%s\n", f.c_str());
  return failures.empty() ? 0 : 1;
}
