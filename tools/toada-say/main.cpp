// toada-say [--phonemes | --lines] [TEXT...]: what the Toada engine makes
// of a Portuguese text.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "platform/text.h"
#include "tools/toada-say/text_modes.h"

namespace {

const char kUsage[] =
    "uso: toada-say [OP\xC3\x87\xC3\x83O] [TEXTO...]\n"
    "Mostra o que o Toada faz do texto (ou de cada linha da entrada padr\xC3\xA3o, sem TEXTO).\n"
    "L\xC3\xAA a se\xC3\xA7\xC3\xA3o TOADATTS de SONARIS.INI (MBROLA_DB, DIR, BASE) como o Toada;\n"
    "sem ela, os arquivos portug.* da pasta de dados desta compila\xC3\xA7\xC3\xA3o.\n";

enum class Mode { Help, Phonemes, Lines };

struct Option {
  const char* name;
  Mode mode;
  const char* help;
};

const Option kOptions[] = {
    {"--phonemes", Mode::Phonemes,
     "uma linha por texto: os fonemas de cada palavra separados por espa\xC3\xA7o,\n"
     "                a s\xC3\xADlaba t\xC3\xB4nica com >, palavras separadas por \" / \""},
    {"--lines", Mode::Lines, "as linhas de entrada do MBROLA, uma por linha"},
    {"--help", Mode::Help, "esta ajuda"},
};

void PrintUsage() {
  std::fputs(kUsage, stdout);
  for (const Option& o : kOptions) std::printf("  %-12s  %s\n", o.name, o.help);
}

}  // namespace

int main(int argc, char** argv) {
  Mode mode = Mode::Help;
  std::vector<std::string> words;
  for (int i = 1; i < argc; ++i) {
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
  if (!LoadTextTables(mode == Mode::Lines)) return 1;
  auto handle = [mode](const std::string& utf8) {
    std::string text = platform::Utf8ToCp1252(utf8);
    if (mode == Mode::Phonemes)
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
