// sonaris-say [--phonetic] [--units] [--wav FILE] [TEXT...]: speaks
// Portuguese text with the built-in diphone synthesizer, writes it to a WAV
// file, or shows what it would say. Standard input is read a piece at a
// time, so that memory stays the same however long the text.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "console/snwin.h"
#include "diphone/diphone.h"
#include "diphone/sound.h"
#include "platform/os/text.h"
#include "speech/sncrt.h"
#include "speech/snsapi.h"
#include "programs/sonaris-say/render.h"

namespace {

const char kUsage[] =
    "uso: sonaris-say [--phonetic] [--units] [--wav ARQUIVO] [TEXTO...]\n"
    "Fala o texto (ou a entrada padrão, sem TEXTO) com o sintetizador de difones.\n"
    "  --phonetic    mostra a transcrição fonética em vez de falar\n"
    "  --units       mostra cada unidade pedida ao banco de dados e o que houve com ela\n"
    "                (found, recorded, split, noise, dropped)\n"
    "  --wav ARQUIVO grava a fala num arquivo WAV (8 bits, mono, 11025 Hz) tão depressa\n"
    "                quanto é sintetizada, com as pausas da fala; - é a saída padrão\n"
    "Lê SONARIS.INI (seções TRADUTOR e SINTETIZADOR); SONARIS_AUDIO escolhe a saída\n"
    "(device, wav:ARQUIVO ou null). Com TEXTO e a entrada padrão num terminal,\n"
    "qualquer tecla interrompe a fala.\n"
    "Manual: man sonaris-say\n";

struct Options {
  bool phonetic = false;
  bool units = false;
  bool help = false;
  bool bad = false;
  std::string wav;  // empty: not written to a file
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
    } else if (a == "--wav") {
      if (++i < argc && *argv[i]) o.wav = argv[i];
      else o.bad = true;
    } else if (a == "--help" || a == "-h") {
      o.help = true;
    } else {
      o.words.push_back(a);
    }
  }
  return o;
}

// Standard input in pieces: a line, or a long line cut at a blank once it
// has kLongLine bytes (at any byte that starts a character once it has
// twice that), so that no line, however long, is held whole.
constexpr size_t kLongLine = 8192;

bool ReadPiece(std::string& text) {
  text.clear();
  for (int c; (c = std::cin.get()) != EOF;) {
    if (c == '\n') return true;
    const bool cut = (text.size() >= kLongLine && c == ' ') ||
                     (text.size() >= 2 * kLongLine && (c & 0xC0) != 0x80);
    if (cut) {
      std::cin.unget();
      return true;
    }
    text += char(c);
  }
  return !text.empty();
}

// One piece of the text in Windows-1252, tabs and line ends read as spaces
// (they would otherwise sound as characters of their own): the words of
// the command line, else the next piece of standard input.
bool NextText(const Options& o, std::string& text) {
  static bool given = false;
  if (!o.words.empty()) {
    if (given) return false;
    given = true;
    text.clear();
    for (const std::string& w : o.words) text += (text.empty() ? "" : " ") + w;
  } else if (!ReadPiece(text)) {
    return false;
  }
  for (char& c : text) {
    if (c == '\r' || c == '\t') c = ' ';
  }
  text = platform::Utf8ToCp1252(text);
  return true;
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

// What the synthesizer would say, line by line; the units are rendered
// into no buffer at all.
void Show(const Options& o) {
  if (o.units) UnitReport = PrintUnit;
  for (std::string text, phonetic; NextText(o, text);) {
    TranslateText(text, phonetic);
    if (o.phonetic) std::printf("%s\n", platform::Cp1252ToUtf8(phonetic).c_str());
    if (o.units) SynthesizePhonetic(phonetic, false, nullptr);
  }
  UnitReport = nullptr;
  DiphoneEnd();
}

// Through the program's own path when the settings name the database;
// without them the program's start-up would stop, so the synthesizer
// speaks the phonetic string itself.
void Speak(const Options& o, int speed, bool named) {
  if (named) {
    DiphoneEnd();
    StartSpeech(speed, "");
    // A file holds the built-in voice: an external one is let go.
    if (!o.wav.empty()) EndExternalVoice();
  }
  for (std::string text, phonetic; NextText(o, text) && !KeyPressed();) {
    if (named) {
      SpeakText(text);
      continue;
    }
    TranslateText(text, phonetic);
    SpeakPhonetic(phonetic, false);
    WaitWhileSpeaking();
  }
  if (named) EndSpeech();
  else DiphoneEnd();
  CloseConsoleWindow();
}

}  // namespace

int main(int argc, char** argv) {
  Options o = ParseOptions(argc, argv);
  if (o.help || o.bad) {
    std::fputs(kUsage, o.bad ? stderr : stdout);
    return o.bad ? 2 : 0;
  }
  // Nothing is shown. Keys stop speech only when someone can type them on
  // a terminal; standard input that holds the text is no keyboard, and a
  // file being written is not stopped by keys at all.
  bool keys = o.wav.empty() && !o.words.empty();
  setenv("SONARIS_DISPLAY", keys ? "keys" : "headless", 1);
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
  if (o.phonetic || o.units) {
    Show(o);
    return 0;
  }
  if (!o.wav.empty() && !RenderStart(o.wav)) {
    std::fprintf(stderr, "sonaris-say: não foi possível criar o arquivo '%s'.\n", o.wav.c_str());
    DiphoneEnd();
    return 1;
  }
  Speak(o, speed, named);
  if (!o.wav.empty() && !RenderEnd()) {
    std::fprintf(stderr, "sonaris-say: não foi possível gravar todo o som em '%s'.\n", o.wav.c_str());
    return 1;
  }
  return 0;
}
