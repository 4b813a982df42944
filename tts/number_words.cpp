// Cardinal and ordinal numbers in words.
#include <string>

#include "tts/normalize.h"
#include "tts/number_words.h"

const NumberWords kNumberWords = {
    {"zero", "um", "dois", "tr\xEAs", "quatro", "cinco", "seis", "sete", "oito", "nove"},
    {"dez", "onze", "doze", "treze", "quatorze", "quinze", "dezesseis", "dezessete", "dezoito",
     "dezenove"},
    {"", "", "vinte", "trinta", "quarenta", "cinq\xFC" "enta", "sessenta", "setenta", "oitenta",
     "noventa"},
    {"", "cento", "duzentos", "trezentos", "quatrocentos", "quinhentos", "seiscentos",
     "setecentos", "oitocentos", "novecentos"},
    {"trilh\xE3o ", "bilh\xE3o ", "milh\xE3o ", "mil ", ""},
    {"trilh\xF5" "es ", "bilh\xF5" "es ", "milh\xF5" "es ", "mil ", ""},
};

namespace {

const NumberWords& W = kNumberWords;

const char* const kJoin = " e ";

const char* const kOrdUnits[] = {"", "primeiro", "segundo", "terceiro", "quarto",
                                 "quinto", "sexto", "s\xE9timo", "oitavo", "nono"};
const char* const kOrdTens[] = {"", ("d\xE9" "cimo"), "vig\xE9simo", "trig\xE9simo", "quadrag\xE9simo",
                                "quinquag\xE9simo", "sexag\xE9simo", "septuag\xE9simo", "octag\xE9simo",
                                "nonag\xE9simo"};
const char* const kOrdHundreds[] = {"", "cent\xE9simo", "ducent\xE9simo", "tricent\xE9simo",
                                    "quadrigent\xE9simo", "quingent\xE9simo", "seiscent\xE9simo",
                                    "septigent\xE9simo", "octigent\xE9simo", "nongent\xE9simo"};

constexpr int64_t kLargestGrouped = 999999999999999;  // fifteen digits

// Figures beyond fifteen digits have no scale words left: digit by digit.
std::string DigitWords(const std::string& digits) {
  std::string s;
  for (char c : digits) s += std::string(s.empty() ? "" : " ") + W.units[c - '0'];
  return s;
}

}  // namespace

std::string NumberGroupWords(int g) {
  if (g == 0) return "";
  if (g == 100) return "cem";
  int h = g / 100, d = g / 10 % 10, u = g % 10;
  std::string s;
  if (h != 0) {
    s = W.hundreds[h];
    if (g % 100 != 0) s += kJoin;
  }
  if (d == 1) {
    s += W.teens[u];
  } else if (d != 0) {
    s += W.tens[d];
    if (u != 0) s += std::string(kJoin) + W.units[u];
  } else if (u != 0) {
    s += W.units[u];
  }
  return s;
}

// The groups follow each other without a joiner, as Brazilians say them,
// except that "e" comes before the last group when that group is below one
// hundred or a whole number of hundreds: mil e duzentos, dois mil e vinte,
// um milhão e quinhentos mil, but mil duzentos e cinqüenta.
std::string CardinalWords(int64_t n) {
  if (n == 0) return "zero";
  if (n < 0) return "menos " + CardinalWords(n == INT64_MIN ? INT64_MAX : -n);
  if (n > kLargestGrouped) return DigitWords(std::to_string(n));
  int groups[5];
  int last = -1;
  for (int i = 4; i >= 0; --i, n /= 1000) groups[i] = int(n % 1000);
  for (int i = 0; i < 5; ++i)
    if (groups[i] != 0) last = i;
  std::string s;
  for (int i = 0; i < 5; ++i) {
    if (groups[i] == 0) continue;
    if (i == last && !s.empty() && (groups[i] < 100 || groups[i] % 100 == 0)) s += "e ";
    // A thousand is "mil", never "um mil" (um milhão e mil).
    if (i == 3 && groups[i] == 1) {
      s += W.scaleOne[i];
      continue;
    }
    s += NumberGroupWords(groups[i]);
    if (i < 4) s += std::string(" ") + (groups[i] == 1 ? W.scaleOne[i] : W.scaleMany[i]);
  }
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

std::string OrdinalWords(char gender, int64_t n) {
  if (n >= 2000 || n < 0) return CardinalWords(n);
  if (n == 0) return "zero";
  const char* const* tables[] = {kOrdUnits, kOrdTens, kOrdHundreds};
  std::string s;
  for (int place = 0; place < 4; ++place, n /= 10) {
    int digit = int(n % 10);
    if (digit == 0) continue;
    std::string word = place < 3 ? tables[place][digit] : "mil\xE9simo";
    if (gender == 'f') word.back() = 'a';
    s = s.empty() ? word : word + " " + s;
  }
  return s;
}
