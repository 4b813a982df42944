// sonaris-say [--phonetic] [--units] [TEXT...]: speaks Portuguese text with
// the built-in diphone synthesizer, or shows what it would say.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "console/snwin.h"
#include "diphone/diphone.h"
#include "platform/text.h"
#include "speech/sncrt.h"

namespace {

const char kUsage[] =
    "uso: sonaris-say [--phonetic] [--units] [TEXTO...]\n"
    "Fala o texto (ou a entrada padrão, sem TEXTO) com o sintetizador de difones.\n"
    "  --phonetic  mostra a transcrição fonética em vez de falar\n"
    "  --units     mostra cada unidade pedida ao banco de dados e o que houve com ela\n"
    "              (found, recorded, split, noise, dropped)\n"
    "Lê SONARIS.INI (seções TRADUTOR e SINTETIZADOR); SONARIS_AUDIO escolhe a saída\n"
    "(device, wav:ARQUIVO ou null).\n";

struct Options {
  bool phonetic = false;
  bool units = false;
  bool help = false;
  std::vector<std::string> words;
};

Options ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--phonetic") {
      o.phonetic = true;
    } else if (a == "--units") {
      o.units = true;
    } else if (a == "--help" || a == "-h") {
      o.help = true;
    } else {
      o.words.push_back(a);
    }
  }
  return o;
}

// The text in Windows-1252, line breaks and tabs read as spaces (they would
// otherwise sound as characters of their own).
std::string InputText(const Options& o) {
  std::string text;
  if (o.words.empty()) {
    text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  }
  for (const std::string& w : o.words) text += (text.empty() ? "" : " ") + w;
  for (char& c : text) {
    if (c == '\n' || c == '\r' || c == '\t') c = ' ';
  }
  return platform::Utf8ToCp1252(text);
}

const char* OutcomeName(UnitOutcome outcome) {
  static const char* const kNames[] = {"found", "recorded", "split", "noise", "dropped"};
  return kNames[static_cast<int>(outcome)];
}

void PrintUnit(const std::string& unit, UnitOutcome outcome) {
  std::printf("%s\t%s\n", platform::Cp1252ToUtf8(unit).c_str(), OutcomeName(outcome));
}

void ReportStartFailure(int code) {
  std::fprintf(stderr,
               "sonaris-say: não foi possível abrir o banco de dados de voz \"%s\" "
               "(erro de inicialização %d).\n"
               "Verifique as pastas DIRDIFONES e dirLetras da seção [TRADUTOR] e a chave "
               "DIFONES da seção [SINTETIZADOR] em SONARIS.INI.\n",
               platform::Cp1252ToUtf8(DiphoneDbName).c_str(), code);
}

// Through the program's own path when the settings name the database;
// without them the program's start-up would stop, so the synthesizer
// speaks the phonetic string itself.
void Speak(const std::string& text, const std::string& phonetic, int speed, bool named) {
  if (named) {
    DiphoneEnd();
    StartSpeech(speed, "");
    SpeakText(text);
    EndSpeech();
  } else {
    SpeakPhonetic(phonetic, false);
    WaitWhileSpeaking();
    DiphoneEnd();
  }
  CloseConsoleWindow();
}

}  // namespace

int main(int argc, char** argv) {
  Options o = ParseOptions(argc, argv);
  if (o.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  // Nothing is shown: the text goes to the speakers only.
  setenv("SONARIS_DISPLAY", "headless", 0);
  std::string text = InputText(o);
  int speed = ChooseSpeed(0);
  LoadSynthTuning(speed);
  // Without a settings file the program could not start at all; the tool
  // still finds the database this build makes.
  bool named = !DiphoneDbName.empty();
  if (!named) DiphoneDbName = "DIFONES2";
  if (int code = DiphoneStart(); code != 0) {
    ReportStartFailure(code);
    DiphoneEnd();
    return 1;
  }
  std::string phonetic;
  TranslateText(text, phonetic);
  if (o.phonetic) std::printf("%s\n", platform::Cp1252ToUtf8(phonetic).c_str());
  if (o.units) {
    UnitReport = PrintUnit;
    std::vector<unsigned char> samples;
    RenderPhonetic(phonetic, false, samples);
    UnitReport = nullptr;
  }
  if (!o.phonetic && !o.units) {
    Speak(text, phonetic, speed, named);
  } else {
    DiphoneEnd();
  }
  return 0;
}
