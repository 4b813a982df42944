// sonaris-voices: the voice numbers that VOZ in section SERVFALA of
// SONARIS.INI selects, for each kind of external voice (TIPOSAPI), with
// name and language; and the MBROLA voices that the Toada voice can use.
//   sonaris-voices [--all] [5 | 54 | 4 | 3]   (no kind: every kind)
// Portuguese voices are listed, the others counted per language (a daemon
// with espeak-ng offers thousands); --all lists every one.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/voices/mbrola.h"
#include "platform/voices/espeak_engine.h"
#include "platform/voices/sapi5_voice.h"

namespace {

bool ListAll = false;

void PrintVoices(const std::vector<platform::VoiceInfo>& voices) {
  int n = 0;
  std::map<std::string, int> others;
  for (const platform::VoiceInfo& v : voices) {
    ++n;
    if (ListAll || platform::IsPortuguese(v.language))
      std::printf("  VOZ=%-4d %-40s %s\n", n, v.name.c_str(), v.language.c_str());
    else
      ++others[v.language];
  }
  if (others.empty()) return;
  int count = 0;
  for (const auto& entry : others) count += entry.second;
  std::printf("  e mais %d vozes em %zu outras l\xC3\xADnguas:\n", count, others.size());
  std::string line = "   ";
  for (const auto& [language, k] : others) {
    const std::string item = " " + language + " " + std::to_string(k);
    if (line.size() + item.size() > 78) {
      std::printf("%s\n", line.c_str());
      line = "   ";
    }
    line += item;
  }
  std::printf("%s\n  (sonaris-voices --all lista todas com o seu n\xC3\xBAmero)\n", line.c_str());
}

void SystemVoices() {
  std::printf("TIPOSAPI=5 ou 54: vozes do sistema (speech-dispatcher)\n");
  try {
    auto voice = platform::CreateSpVoice();
    PrintVoices(voice->GetVoices());
  } catch (const std::exception& e) {
    // A daemon that is there but silent needs another remedy than none.
    const bool silent = dynamic_cast<const platform::VoiceTimeout*>(&e) != nullptr;
    std::printf("  indispon\xC3\xADvel: %s\n  (%s)\n", e.what(),
                silent ? "o speech-dispatcher est\xC3\xA1 rodando mas n\xC3\xA3o responde; "
                         "reinicie-o ou verifique o seu m\xC3\xB3" "dulo de voz"
                       : "instale speech-dispatcher e speech-dispatcher-espeak-ng");
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

const char* const Usage =
    "Uso: sonaris-voices [--all] [5 | 54 | 4 | 3]\n"
    "Lista os n\xC3\xBAmeros de voz (VOZ na se\xC3\xA7\xC3\xA3o SERVFALA do SONARIS.INI)\n"
    "de cada tipo de voz externa (TIPOSAPI): as vozes em portugu\xC3\xAAs e quantas\n"
    "h\xC3\xA1 das outras l\xC3\xADnguas; --all lista todas.\n"
    "Manual: man sonaris-voices\n";

int main(int argc, char** argv) {
  std::string kind;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::fputs(Usage, stdout);
      return 0;
    }
    if (a == "--version") {
      std::printf("sonaris-voices (Sonaris para Linux) %s\n", SONARIS_VERSION);
      return 0;
    }
    if (a == "--all") {
      ListAll = true;
    } else if (kind.empty() && !a.empty() && a.find_first_not_of("0123456789") == std::string::npos) {
      kind = a;  // 3, 5, 54, or any other number: the espeak-ng voices
    } else {
      std::fprintf(stderr, "sonaris-voices: argumento desconhecido: %s\n%s", a.c_str(), Usage);
      return 2;
    }
  }
  if (kind.empty() || kind == "5" || kind == "54") SystemVoices();
  if (kind.empty() || (kind != "5" && kind != "54" && kind != "3")) EspeakVoices();
  if (kind.empty() || kind == "3") ToadaVoices();
  return 0;
}
