// SONARIS.INI as the console and the speech front end read it: the video
// and Braille settings, the speed levels, the voice choice and the paths.
// (Starting the voice is left out: a settings file naming no usable
// database ends the program at its start-up message, by design.)
#include "console/console_state.h"
#include "fuzz/fuzz_support.h"
#include "speech/sncrt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::UseHeadlessWorld();
  std::string ini = fuzz::WriteInput("SONARIS.INI", data, size);
  console_detail::VideoSettings video;
  console_detail::LoadVideoSettings({ini}, 1024, 768, video);
  for (int level = 1; level <= 5; ++level) LoadSynthTuning(level);
  ChooseSpeed(0);
  for (const char* key : {"DIRLETRAS", "DIRDIFONES", "SAPI", "VELOCIDADE"})
    ReadConfig("TRADUTOR", key);
  for (const char* key : {"VOZ", "VELOCIDADE", "TOM", "TIPOSAPI"}) ReadConfig("SERVFALA", key);
  ReadConfig("SONARIS", "PROG.HTM");
  return 0;
}
