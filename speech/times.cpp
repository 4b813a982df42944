// The clock time and the date, said with recorded number words and the
// recorded names of weekdays and months.
#include "console/snwin.h"
#include "speech/sncrt.h"

namespace {

const char* const WeekdayNames[7] = {"Domingo", "Segunda", "Terca", "Quarta",
                                     "Quinta",  "Sexta",   "Sabado"};
const char* const MonthNames[12] = {"Janeiro", "Fevereiro", "Marco",    "Abril",
                                    "Maio",    "Junho",     "Julho",    "Agosto",
                                    "Setembro", "Outubro",  "Novembro", "Dezembro"};

// Plays "_<singular>" for 0 and 1, else "_<plural>".
void PlayUnitWord(int amount, const char* singular, const char* plural) {
  PlayWordFile(std::string("_") + (amount < 2 ? singular : plural));
}

}  // namespace

int WeekdayOf(int day, int month, int year) {
  static const int MonthOffset[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 3) --year;
  return (year + year / 4 - year / 100 + year / 400 + MonthOffset[(month + 11) % 12] + day) % 7;
}

void SpeakTime(uint16_t hour, uint16_t minute) {
  SpeakWords(NumberToWords(hour), true);
  PlayUnitWord(hour, "hora", "horas");
  if (minute == 0) return;
  SpeakWords(NumberToWords(minute), false);
  PlayUnitWord(minute, "minuto", "minutos");
}

void SpeakCurrentTime() {
  uint16_t hour, minute, second, hundredths;
  CurrentTime(hour, minute, second, hundredths);
  SpeakTime(hour, minute);
}

void SpeakDate(uint16_t day, uint16_t month, uint16_t year) {
  PlayWordFile(std::string("_") + WeekdayNames[WeekdayOf(day, month, year)]);
  if (day == 1)
    PlayWordFile("_primeir");
  else
    SpeakWords(NumberToWords(day), false);
  PlayWordFile("_de");
  // Months outside 1..12 cannot name a recording; they are left unsaid.
  if (month >= 1 && month <= 12) PlayWordFile(("_" + std::string(MonthNames[month - 1])).substr(0, 8));
  PlayWordFile("_de");
  if (year >= 2000) SpeakWords(NumberToWords(2000), false);
  if (year > 2000) PlayWordFile("_e");
  if (year % 100 != 0) SpeakWords(NumberToWords(year % 100), false);
}

void SpeakCurrentDate() {
  uint16_t year, month, day, weekday;
  CurrentDate(year, month, day, weekday);
  SpeakDate(day, month, year);
}
