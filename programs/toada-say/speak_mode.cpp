// The engine opened as the program opens it, with the tool's voice and
// file; speech is waited for to its end.
#include "programs/toada-say/speak_mode.h"

#include <cstdio>
#include <cstdlib>

#include "console/snwin.h"
#include "platform/voices/mbrola.h"
#include "platform/os/text.h"
#include "speech/sncrt.h"
#include "tts/snfonserv.h"
#include "tts/toada.h"

namespace {

int SettingInt(const char* key) { return std::atoi(ReadConfig("SERVFALA", key).c_str()); }

void Fail(const std::string& why) {
  std::fprintf(stderr, "toada-say: %s\n", platform::Cp1252ToUtf8(why).c_str());
}

}  // namespace

int SpeakWithToada(const std::function<bool(std::string&)>& more, const std::string& voice,
                   const std::string& wavFile) {
  // Nothing is shown: the text goes to the speakers or the file only.
  setenv("SONARIS_DISPLAY", "headless", 0);
  const ToadaSettings& s = ToadaLoadSettings(ReadConfig);
  ToadaChooseVoice(voice);
  if (platform::MbrolaProgram().empty()) {
    Fail("o MBROLA n\xE3o est\xE1 instalado (scripts/fetch-mbrola.sh)");
    return 1;
  }
  SetOutputFile(wavFile);
  // Each failure says its own cause: the voice, a data file or the output file.
  if (!EngineOpen(s.voiceDb, s.rulesFile, s.exceptionsFile, s.diphoneFile, s.prosodyFile,
                  s.abbreviationsFile)) {
    Fail(EngineLastError.empty() ? "o Toada n\xE3o abriu com a voz " + s.voiceDb : EngineLastError);
    return 1;
  }
  ToadaApplySpeedAndPitch(ExternalVoiceRate(3, ChooseSpeed(0)), SettingInt("TOM"));
  bool ok = EngineSpeakFrom(more);
  while (ToadaBusy()) Delay(20);
  EngineClose();
  CloseConsoleWindow();
  if (!ok) {
    std::string refusal = TakeEngineRefusal();
    Fail(!EngineLastError.empty() ? EngineLastError
         : !refusal.empty()       ? refusal
                                  : std::string("o MBROLA recusou parte do texto"));
  }
  return ok ? 0 : 1;
}
