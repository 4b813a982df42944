#include "app/cmdline.h"

#include <cstdio>
#include <cstring>

#ifndef SONARIS_VERSION
#define SONARIS_VERSION "0"
#endif

namespace {

// Goes straight to the Linux terminal, so it is written in UTF-8.
const char HelpText[] =
    "Uso: selenor [--help | --version]\n"
    "\n"
    "Selenor pergunta a sua data de nascimento (dia/mês/ano), mostra e fala o\n"
    "dia da semana em que você nasceu, a sua idade, os dias vividos e dormidos,\n"
    "as batidas do coração e o seu perfil astrológico.\n"
    "\n"
    "Teclas:\n"
    "  Enter               confirma a data; no fim, encerra o programa\n"
    "  Esc                 apaga a data digitada e encerra; no fim, encerra\n"
    "  qualquer tecla      interrompe a fala\n"
    "  Ctrl+Insert         no fim, copia a tela para a área de transferência\n"
    "Ao digitar a data:\n"
    "  Backspace, Delete   apagam a letra à esquerda ou sob o cursor\n"
    "  Esquerda, Direita   movem o cursor e falam a letra\n"
    "  Home, End           vão ao início e ao fim do texto\n"
    "  Ctrl+F1             fala o texto digitado\n"
    "  F4                  liga ou desliga o eco do que se digita\n"
    "  F8                  fala a hora\n"
    "  Ctrl+Y              apaga o campo\n"
    "  Ctrl+C, Ctrl+V      copiam e colam\n"
    "  Ctrl+Alt+F9         revisão da tela (também Ctrl+Shift+F9); Esc volta\n"
    "  Ctrl+Alt+F11, F12   modo Braille, só na janela (também Ctrl+Shift+F11, F12)\n"
    "  botão direito       lupa, enquanto ficar apertado (só na janela)\n"
    "Na linha Braille (pelo BRLTTY): deslocar mostra o resto das 80 colunas, a\n"
    "tecla de cursor sobre uma cela leva o cursor até ela, linha acima e abaixo\n"
    "são as setas.\n"
    "\n"
    "Variáveis de ambiente:\n"
    "  SONARIS_DISPLAY     window, terminal ou headless\n"
    "  SONARIS_AUDIO       device, wav:ARQUIVO ou null\n"
    "  SONARIS_WINDIR      pasta do SONARIS.INI (padrão ~/.config/sonaris)\n"
    "  SONARIS_DATA        pasta dos dados de fala\n"
    "  SONARIS_BRAILLE     brlapi (padrão), off ou file:ARQUIVO\n"
    "\n"
    "Manual completo: man selenor; configurações: man 5 SONARIS.INI\n";

}  // namespace

bool HandleCommandLine(int argc, char** argv, int& exitCode) {
  if (argc < 2) return false;
  exitCode = 0;
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(HelpText, stdout);
  } else if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("Selenor (Sonaris para Linux) %s\n", SONARIS_VERSION);
  } else {
    std::fprintf(stderr,
                 "selenor: argumento desconhecido: %s\n"
                 "Use selenor --help para ver as opções.\n",
                 argv[1]);
    exitCode = 2;
  }
  return true;
}
