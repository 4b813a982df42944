#include "programs/toada-say/text_modes.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/os/paths.h"
#include "platform/os/text.h"
#include "speech/sncrt.h"
#include "tts/mbrola_lines.h"
#include "tts/normalize.h"
#include "tts/prosody.h"
#include "tts/snfonserv.h"
#include "tts/text_pipeline.h"
#include "tts/toada.h"
#include "tts/words.h"

namespace {

bool Missing(const std::string& what, const std::string& path) {
  std::fprintf(stderr, "toada-say: n\xC3\xA3o foi poss\xC3\xADvel ler %s: %s\n", what.c_str(),
               platform::Cp1252ToUtf8(platform::ResolvePath(path)).c_str());
  return false;
}

// The factors ToadaStart gives the engine from the voice settings.
void VoiceFactors(double& pitch, double& duration) {
  pitch = ToadaPitchFactor(std::atoi(ReadConfig("SERVFALA", "TOM").c_str()));
  duration = ToadaDurationFactor(ExternalVoiceRate(3, ChooseSpeed(0)));
}

}  // namespace

bool LoadTextTables(bool needProsody, const std::string& voice) {
  ToadaLoadSettings(ReadConfig);
  ToadaChooseVoice(voice);
  const ToadaSettings& s = ToadaCurrentSettings();
  if (!LoadDictionaries(s.rulesFile, s.exceptionsFile))
    return Missing("o arquivo de regras ou de exce\xC3\xA7\xC3\xB5" "es", s.rulesFile);
  if (!LoadAbbreviations(s.abbreviationsFile))
    return Missing("o arquivo de abreviaturas", s.abbreviationsFile);
  if (!LoadReadingTables(ReadingTablesBeside(s.abbreviationsFile)))
    Missing("as tabelas de leitura (dinheiro, horas, datas, siglas...)",
            ReadingTablesBeside(s.abbreviationsFile));
  if (!needProsody) return true;
  if (!LoadProsody(s.prosodyFile)) return Missing("o arquivo de pros\xC3\xB3" "dia", s.prosodyFile);
  // Without the list (no MBROLA when the build ran) no diphone is known to
  // be missing, and no filler is put in. The voice's own list and pitch
  // come first, as the engine takes them.
  std::string own = VoiceFile(s.diphoneFile, s.voiceDb, ".dfn");
  if (!LoadDiphoneList(own.empty() ? s.diphoneFile : own))
    Missing("a lista de difones (sem ela, nenhum enchimento entre fonemas)", s.diphoneFile);
  LoadVoicePitch(VoiceFile(s.diphoneFile, s.voiceDb, ".voz"));
  return true;
}

void PrintSpokenWords(const std::string& text) {
  std::printf("%s\n", platform::Cp1252ToUtf8(SpokenWords(text)).c_str());
}

void PrintPhonemes(const std::string& text) {
  std::printf("%s\n", platform::Cp1252ToUtf8(PhonemesInOneLine(TextToPhonemes(text))).c_str());
}

void PrintMbrolaLines(const std::string& text) {
  double pitch = 1.0, duration = 1.0;
  VoiceFactors(pitch, duration);
  for (const std::string& l : TextToMbrolaLines(text, pitch, duration))
    std::printf("%s\n", platform::Cp1252ToUtf8(l).c_str());
}
