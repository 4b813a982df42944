#include "app/selenor.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "app/answer.h"
#include "app/birthdate.h"
#include "app/report.h"
#include "app/zodiac.h"
#include "console/snwin.h"
#include "speech/sncrt.h"

#ifndef SONARIS_VERSION
#define SONARIS_VERSION "0"
#endif

namespace {

constexpr uint8_t PromptBackground = 4;
constexpr uint8_t KeyEnter = 13, KeyEscape = 27, KeyCtrlInsert = 255;

// The program-wide values of one run, read by the report.
struct SelenorState {
  std::string answer;
  BirthDate birth;
  SimpleDate today;
  BirthFigures figures;
  ZodiacProfile profile;
} S;

const char HelpText[] =
    "Uso: selenor [--help | --version]\n"
    "\n"
    "Selenor pergunta a sua data de nascimento (dia/mês/ano), mostra e fala o\n"
    "dia da semana em que você nasceu, a sua idade, os dias vividos e dormidos,\n"
    "as batidas do coração e o seu perfil astrológico.\n"
    "\n"
    "Teclas:\n"
    "  Enter             confirma a data; no fim, encerra o programa\n"
    "  Esc               apaga a data digitada e encerra; no fim, encerra\n"
    "  Backspace         apaga a letra à esquerda do cursor\n"
    "  qualquer tecla    interrompe a fala\n"
    "  Ctrl+Insert       no fim, copia a tela para a área de transferência\n"
    "\n"
    "Variáveis de ambiente:\n"
    "  SONARIS_DISPLAY   window, terminal ou headless\n"
    "  SONARIS_AUDIO     device, wav:ARQUIVO ou null\n"
    "  SONARIS_WINDIR    pasta do SONARIS.INI (padrão ~/.config/sonaris)\n"
    "  SONARIS_DATA      pasta dos dados de fala\n";

// --help and --version answer on stdout; anything else is refused.
bool HandleCommandLine(int argc, char** argv, int& exitCode) {
  if (argc < 2) return false;
  exitCode = 0;
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(HelpText, stdout);
  } else if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("Selenor (Sonaris para Linux) %s\n", SONARIS_VERSION);
  } else {
    std::fprintf(stderr, "selenor: argumento desconhecido: %s\n"
                         "Use selenor --help para ver as opções.\n", argv[1]);
    exitCode = 2;
  }
  return true;
}

[[noreturn]] void EndProgram() {
  EndSpeech();
  CloseConsole();
}

// Banner and prompt; the answer lands in S.answer.
void AskBirthDate() {
  StartSpeech(0, "");
  ClearScreen();
  StdWriteLn("Programa Selenor");
  StdWriteLn("Sonaris para Linux");
  SpeakText("SELENOR");
  StdWriteLn();
  SetTextBackground(PromptBackground);
  WriteAndSpeak("Digite a data do seu nascimento no formato dia/mes/ano  ");
  SetTextBackground(0);
  S.answer.clear();
  ReadLineSpoken(S.answer);
  if (S.answer.size() > MaxAnswerLength) S.answer.resize(MaxAnswerLength);
}

void ComputeAll() {
  ComputeZodiacProfile(S.birth.day, S.birth.month, S.profile);
  uint16_t year, month, day, weekday;
  CurrentDate(year, month, day, weekday);
  S.today = {day, month, year};
  S.figures = ComputeFigures({S.birth.day, S.birth.month, S.birth.year}, S.today);
}

void Closing() {
  WriteLineAndSpeak("");
  Delay(2000);
  WriteLineAndSpeak("Dados astrol\xF3gicos retirados do Almanaque de Quintela");
  Delay(5000);
  MoveCursor(1, ScreenRows);
  WriteAndSpeak("Aperte control insert para copiar para \xE1rea de transfer\xEAncia");
  for (;;) {
    uint8_t key = ReadKey();
    if (key == KeyEnter || key == KeyEscape) return;
    if (key != KeyCtrlInsert) continue;
    CopyScreenToClipboard();
    SoundClick();
    SoundClick();
  }
}

}  // namespace

int SelenorMain(int argc, char** argv) {
  int exitCode = 0;
  if (HandleCommandLine(argc, argv, exitCode)) return exitCode;
  for (;;) {
    AskBirthDate();
    if (S.answer.empty()) EndProgram();
    if (ParseBirthAnswer(S.answer, S.birth)) break;
  }
  ComputeAll();
  StdWriteLn();
  PrintReport(S.figures, S.profile);
  Closing();
  EndProgram();
}
