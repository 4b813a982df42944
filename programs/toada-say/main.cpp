// toada-say [--voice br1|br3|br4] [--wav FILE] [--words | --phonemes | --lines]
// [TEXT...]: speaks a Portuguese text with the Toada engine, or shows what
// the engine makes of it.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "platform/os/text.h"
#include "programs/toada-say/speak_mode.h"
#include "programs/toada-say/text_modes.h"

namespace {

const char kUsage[] =
    "uso: toada-say [--voice br1|br3|br4] [--wav ARQUIVO] [OP\xC3\x87\xC3\x83O] [TEXTO...]\n"
    "Fala o texto (ou a entrada padr\xC3\xA3o, sem TEXTO) com o Toada e o MBROLA, ou mostra\n"
    "o que o Toada faz dele. SONARIS_AUDIO escolhe a sa\xC3\xAD" "da (device, wav:ARQUIVO ou null).\n"
    "L\xC3\xAA a se\xC3\xA7\xC3\xA3o TOADATTS de SONARIS.INI (MBROLA_DB, DIR, BASE) como o Toada;\n"
    "sem ela, os arquivos portug.* da pasta de dados desta compila\xC3\xA7\xC3\xA3o.\n";

enum class Mode { Help, Speak, Words, Phonemes, Lines };

struct Option {
  const char* name;
  Mode mode;
  const char* help;
};

const Option kOptions[] = {
    {"--words", Mode::Words, "uma linha por texto: as palavras que o Toada fala"},
    {"--phonemes", Mode::Phonemes,
     "uma linha por texto: os fonemas de cada palavra separados por espa\xC3\xA7o,\n"
     "                a s\xC3\xADlaba t\xC3\xB4nica com >, palavras separadas por \" / \""},
    {"--lines", Mode::Lines, "as linhas de entrada do MBROLA, uma por linha"},
    {"--help", Mode::Help, "esta ajuda"},
};

// Options that take a value: the voice and the WAV file.
struct ValueOption {
  const char* name;
  const char* help;
};
const ValueOption kValueOptions[] = {
    {"--voice", "a voz do MBROLA: br4 (feminina, a da configura\xC3\xA7\xC3\xA3o), br1 ou br3 (masculinas)"},
    {"--wav", "grava a fala neste arquivo WAV em vez de toc\xC3\xA1-la"},
};

void PrintUsage() {
  std::fputs(kUsage, stdout);
  for (const ValueOption& o : kValueOptions) std::printf("  %-12s  %s\n", o.name, o.help);
  for (const Option& o : kOptions) std::printf("  %-12s  %s\n", o.name, o.help);
  std::fputs("Manual: man toada-say\n", stdout);
}

}  // namespace

int main(int argc, char** argv) {
  Mode mode = Mode::Speak;
  std::vector<std::string> words;
  std::string values[2];
  for (int i = 1; i < argc; ++i) {
    int taken = -1;
    for (int v = 0; v < 2; ++v)
      if (std::strcmp(argv[i], kValueOptions[v].name) == 0) taken = v;
    if (taken >= 0) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "toada-say: falta o valor de %s\n", argv[i]);
        return 2;
      }
      values[taken] = argv[++i];
      continue;
    }
    const Option* found = nullptr;
    for (const Option& o : kOptions)
      if (std::strcmp(argv[i], o.name) == 0) found = &o;
    if (found)
      mode = found->mode;
    else
      words.push_back(argv[i]);
  }
  if (mode == Mode::Help) {
    PrintUsage();
    return 0;
  }
  if (mode == Mode::Speak) {
    // One text, its lines joined, spoken as it is read.
    std::string text;
    for (const std::string& w : words) text += (text.empty() ? "" : " ") + w;
    bool given = !words.empty();
    return SpeakWithToada(
        [&](std::string& more) {
          if (given) {
            more = platform::Utf8ToCp1252(text);
            given = false;
            return true;
          }
          std::string line;
          if (!words.empty() || !std::getline(std::cin, line)) return false;
          // The blank that joins it to the next line comes at once, so that
          // a sentence ending the line is spoken without waiting for more.
          more = platform::Utf8ToCp1252(line) + " ";
          return true;
        },
        values[0], values[1]);
  }
  if (!LoadTextTables(mode == Mode::Lines, values[0])) return 1;
  auto handle = [mode](const std::string& utf8) {
    std::string text = platform::Utf8ToCp1252(utf8);
    if (mode == Mode::Words)
      PrintSpokenWords(text);
    else if (mode == Mode::Phonemes)
      PrintPhonemes(text);
    else
      PrintMbrolaLines(text);
  };
  if (!words.empty()) {
    std::string text;
    for (const std::string& w : words) text += (text.empty() ? "" : " ") + w;
    handle(text);
    return 0;
  }
  std::string line;
  while (std::getline(std::cin, line)) handle(line);
  return 0;
}
