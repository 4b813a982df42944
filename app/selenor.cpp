#include "app/selenor.h"

#include <cstdio>
#include <string>

#include "app/answer.h"
#include "app/birthdate.h"
#include "app/cmdline.h"
#include "app/report.h"
#include "app/zodiac.h"
#include "console/snwin.h"
#include "platform/os/paths.h"
#include "review/review.h"
#include "speech/sncrt.h"

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
    // Every key silences every voice at once, also the external voice that
    // is still saying this line.
    StopSpeech();
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
  // Said before the console takes the screen, so it stays readable after.
  std::string missing = platform::MissingDataMessage();
  if (!missing.empty()) std::fprintf(stderr, "selenor: %s\n", missing.c_str());
  SetEditorReview(ReviewMode);
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
