// sonaris-voices: the voice numbers that VOZ in section SERVFALA of
// SONARIS.INI selects, for each kind of external voice (TIPOSAPI), with
// name and language; and the MBROLA voices that the Toada voice can use.
//   sonaris-voices [5 | 54 | 4 | 3]   (no argument: every kind)
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/voices/mbrola.h"
#include "platform/voices/espeak_engine.h"
#include "platform/voices/sapi5_voice.h"

namespace {

void PrintVoices(const std::vector<platform::VoiceInfo>& voices) {
  int n = 0;
  for (const platform::VoiceInfo& v : voices)
    std::printf("  VOZ=%-4d %-40s %s\n", ++n, v.name.c_str(), v.language.c_str());
}

void SystemVoices() {
  std::printf("TIPOSAPI=5 ou 54: vozes do sistema (speech-dispatcher)\n");
  try {
    auto voice = platform::CreateSpVoice();
    PrintVoices(voice->GetVoices());
  } catch (const std::exception& e) {
    std::printf("  indispon\xC3\xADvel: %s\n"
                "  (instale speech-dispatcher e speech-dispatcher-espeak-ng)\n", e.what());
  }
}

void EspeakVoices() {
  std::printf("TIPOSAPI=4 (ou outro n\xC3\xBAmero): vozes do espeak-ng\n");
  const auto voices = platform::EspeakVoices();
  if (voices.empty()) std::printf("  indispon\xC3\xADvel: o espeak-ng n\xC3\xA3o iniciou\n");
  PrintVoices(voices);
}

void ToadaVoices() {
  std::printf("TIPOSAPI=3 (Toada): vozes MBROLA encontradas\n");
  const auto voices = platform::MbrolaVoices();
  if (voices.empty()) std::printf("  nenhuma\n");
  for (const platform::MbrolaVoice& v : voices) std::printf("  %-8s %s\n", v.name.c_str(), v.path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const std::string kind = argc > 1 ? argv[1] : "";
  if (kind == "--help" || kind == "-h") {
    std::printf("Uso: sonaris-voices [5 | 54 | 4 | 3]\n"
                "Lista os n\xC3\xBAmeros de voz (VOZ na se\xC3\xA7\xC3\xA3o SERVFALA do SONARIS.INI)\n"
                "de cada tipo de voz externa (TIPOSAPI).\n"
                "Manual: man sonaris-voices\n");
    return 0;
  }
  if (kind.empty() || kind == "5" || kind == "54") SystemVoices();
  if (kind.empty() || (kind != "5" && kind != "54" && kind != "3")) EspeakVoices();
  if (kind.empty() || kind == "3") ToadaVoices();
  return 0;
}
