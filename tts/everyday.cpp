// Everyday written forms read as Brazilians say them: money, times, dates,
// ranges, digit groups (telephones, CEP, CPF), units and signs after a
// number, acronyms, Roman numerals, e-mail and web addresses, signs between
// words and brackets. Each is taken only in its usual written form, with
// the words of the tables file; anything else is left to the plain reader.
#include <cstdint>
#include <initializer_list>
#include <string>

#include "tts/latin1.h"
#include "tts/normalize.h"
#include "tts/reading_tables.h"

namespace {

const char* const kComma = "v\xEDrgula";

unsigned char At(const std::string& t, size_t p) {
  return p < t.size() ? static_cast<unsigned char>(t[p]) : 0;
}
bool IsDigitChar(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiUpper(unsigned char c) { return c >= 'A' && c <= 'Z'; }
bool IsAsciiAlnum(unsigned char c) { return IsDigitChar(c) || IsAsciiLetter(c); }
bool DigitAt(const std::string& t, size_t p) { return IsDigitChar(At(t, p)); }
bool WordCharAt(const std::string& t, size_t p) {
  return DigitAt(t, p) || (p < t.size() && IsTextLetter(At(t, p)));
}
size_t DigitsFrom(const std::string& t, size_t p) {
  size_t n = 0;
  while (DigitAt(t, p + n)) ++n;
  return n;
}
int64_t Value(const std::string& t, size_t p, size_t n) {
  int64_t v = 0;
  for (size_t i = 0; i < n; ++i) v = v * 10 + (t[p + i] - '0');
  return v;
}
bool IsVowel(unsigned char c) { return IsTextLetter(c) && !IsTextConsonant(c); }

// No word or number goes on at p: a form may end there.
bool EndsAt(const std::string& t, size_t p) { return !WordCharAt(t, p); }
// Nor does a number go on there through a point, comma, colon, slash or
// hyphen followed by a digit.
bool NumberEndsAt(const std::string& t, size_t p) {
  unsigned char c = At(t, p);
  bool joiner = c == '.' || c == ',' || c == ':' || c == '/' || c == '-';
  return EndsAt(t, p) && !(joiner && DigitAt(t, p + 1));
}

void Say(std::string& out, const std::string& words) {
  out += ' ';
  out += words;
  out += ' ';
}

// The feminine of cardinal words (duas mil libras, vinte e uma horas): the
// words below the millions agree, the millions themselves do not.
std::string Feminine(const std::string& words) {
  size_t from = 0;
  for (const char* scale : {"milh", "bilh", "trilh"}) {
    size_t p = words.rfind(scale);
    if (p != std::string::npos) from = std::max(from, words.find(' ', p));
  }
  if (from == std::string::npos) return words;
  std::string out = words.substr(0, from);
  size_t p = from;
  while (p < words.size()) {
    size_t end = words.find(' ', p);
    if (end == std::string::npos) end = words.size();
    std::string w = words.substr(p, end - p);
    if (w == "um") w = "uma";
    else if (w == "dois") w = "duas";
    else if (w.size() > 5 && w.compare(w.size() - 5, 5, "entos") == 0) w.replace(w.size() - 2, 1, "a");
    out += w;
    if (end < words.size()) out += ' ';
    p = end + 1;
  }
  return out;
}

std::string Cardinal(int64_t n, char gender) {
  std::string w = CardinalWords(n);
  return gender == 'f' ? Feminine(w) : w;
}

// Digits read as the plain reader reads a number (leading zeros one by one).
std::string DigitsAsNumber(const std::string& digits) {
  size_t p = 0;
  return ReadNumber(digits, p);
}

std::string DigitByDigit(const std::string& digits) {
  std::string s;
  for (char c : digits) s += (s.empty() ? "" : " ") + CardinalWords(c - '0');
  return s;
}

// A written number: whole part with or without thousands points, and a
// decimal part after a comma.
struct Amount {
  std::string whole, decimals;  // digits only
  size_t end = 0;
  int64_t Whole() const { return Value(whole, 0, whole.size()); }
  bool IsOne() const { return whole == "1" && decimals.empty(); }
};

bool ReadAmount(const std::string& t, size_t pos, Amount& a) {
  size_t n = DigitsFrom(t, pos);
  if (n == 0 || (n > 1 && t[pos] == '0')) return false;
  size_t p = pos + n;
  a.whole = t.substr(pos, n);
  a.decimals.clear();
  if (n <= 3 && At(t, p) == '.' && DigitsFrom(t, p + 1) == 3) {
    while (At(t, p) == '.' && DigitsFrom(t, p + 1) == 3) {
      a.whole += t.substr(p + 1, 3);
      p += 4;
    }
  }
  if (a.whole.size() > 15) return false;
  if (At(t, p) == ',' && DigitAt(t, p + 1)) {
    size_t d = DigitsFrom(t, p + 1);
    if (d > 15) return false;
    a.decimals = t.substr(p + 1, d);
    p += 1 + d;
  }
  unsigned char c = At(t, p);
  if ((c == '.' || c == ',' || c == ':' || c == '/' || c == '-') && DigitAt(t, p + 1)) return false;
  a.end = p;
  return true;
}

std::string AmountWords(const Amount& a, char gender) {
  std::string w = Cardinal(a.Whole(), gender);
  if (!a.decimals.empty()) w += std::string(" ") + kComma + " " + DigitsAsNumber(a.decimals);
  return w;
}

// An entry of a table written at p, after at most one blank, and ending
// there (no letter or digit right after it).
const ReadingEntry* EntryAfter(ReadingTable table, const std::string& t, size_t p, size_t& end) {
  size_t q = At(t, p) == ' ' ? p + 1 : p;
  const ReadingEntry* e = MatchReadingEntry(table, t, q);
  if (!e || !EndsAt(t, q + e->key.size())) return nullptr;
  end = q + e->key.size();
  return e;
}

char GenderOf(const std::string& field) { return field == "f" ? 'f' : 'm'; }

bool EndsInMillions(const std::string& words) {
  size_t last = words.rfind(' ');
  std::string w = last == std::string::npos ? words : words.substr(last + 1);
  return w.compare(0, 4, "milh") == 0 || w.compare(0, 4, "bilh") == 0 || w.compare(0, 5, "trilh") == 0;
}

// Money: R$ 1.250,50, US$ 5, 30 €, R$ 2 mil, R$ 1,5 milhão. Without a
// scale word the cents, if written, are two digits.
bool SayMoney(const ReadingEntry& cur, const Amount& a, const ReadingEntry* scale, std::string& out) {
  char gender = GenderOf(cur.Field(4));
  std::string w;
  if (scale) {
    bool one = a.whole == "1";
    bool thousand = scale->Field(1) == "mil";
    if (thousand && a.IsOne())
      w = "mil";
    else
      w = AmountWords(a, thousand ? gender : 'm') + " " + scale->Field(one ? 0 : 1);
    w += (thousand ? " " : " de ") + cur.Field(1);
  } else {
    if (!a.decimals.empty() && a.decimals.size() != 2) return false;
    int64_t whole = a.Whole(), cents = a.decimals.empty() ? 0 : Value(a.decimals, 0, 2);
    if (whole > 0 || cents == 0) {
      w = Cardinal(whole, gender);
      w += (EndsInMillions(w) ? " de " : " ") + cur.Field(whole == 1 ? 0 : 1);
    }
    if (cents > 0)
      w += (w.empty() ? "" : " e ") + CardinalWords(cents) + " " + cur.Field(cents == 1 ? 2 : 3);
  }
  Say(out, w);
  return true;
}

bool ReadMoneyBefore(const std::string& t, size_t& pos, std::string& out) {
  const ReadingEntry* cur = MatchReadingEntry(kCurrencies, t, pos);
  if (!cur) return false;
  size_t p = pos + cur->key.size();
  if (At(t, p) == ' ') ++p;
  Amount a;
  if (!ReadAmount(t, p, a)) return false;
  size_t end = a.end;
  const ReadingEntry* scale = At(t, end) == ' ' ? EntryAfter(kScales, t, end, end) : nullptr;
  if (!scale) end = a.end;
  if (!EndsAt(t, end) || !SayMoney(*cur, a, scale, out)) return false;
  pos = end;
  return true;
}

// A unit, percent or degree sign, or a currency after a number.
bool ReadAmountWithSign(const std::string& t, size_t& pos, std::string& out) {
  Amount a;
  if (!ReadAmount(t, pos, a)) return false;
  size_t end = 0;
  if (const ReadingEntry* cur = EntryAfter(kCurrencies, t, a.end, end)) {
    if (!SayMoney(*cur, a, nullptr, out)) return false;
  } else if (const ReadingEntry* unit = EntryAfter(kUnits, t, a.end, end)) {
    Say(out, AmountWords(a, GenderOf(unit->Field(2))) + " " + unit->Field(a.IsOne() ? 0 : 1));
  } else {
    return false;
  }
  pos = end;
  return true;
}

// The words of a part of the time: "duas horas", "um minuto" (one form
// below two, as the clock is spoken).
bool TimePart(const char* unitKey, int64_t n, std::string& words) {
  const ReadingEntry* unit = FindReadingEntry(kUnits, unitKey);
  if (!unit) return false;
  words = Cardinal(n, GenderOf(unit->Field(2))) + " " + unit->Field(n < 2 ? 0 : 1);
  return true;
}

// Times: 14h, 14h30, 8h05, 14h30min, 14:30, 14:30:15.
bool ReadTime(const std::string& t, size_t& pos, std::string& out) {
  size_t n = DigitsFrom(t, pos);
  if (n < 1 || n > 2) return false;
  int64_t hour = Value(t, pos, n), minute = -1, second = -1;
  size_t p = pos + n;
  bool units = false;  // 14h30min: each part with its unit
  if (At(t, p) == 'h') {
    ++p;
    if (DigitsFrom(t, p) == 2) {
      minute = Value(t, p, 2);
      p += 2;
      if (t.compare(p, 3, "min") == 0) {
        units = true;
        p += 3;
      }
    } else if (DigitAt(t, p)) {
      return false;
    }
    if (!EndsAt(t, p)) return false;
  } else if (At(t, p) == ':' && DigitsFrom(t, p + 1) == 2) {
    minute = Value(t, p + 1, 2);
    p += 3;
    if (At(t, p) == ':' && DigitsFrom(t, p + 1) == 2) {
      second = Value(t, p + 1, 2);
      p += 3;
      units = true;
    }
    if (!NumberEndsAt(t, p)) return false;
  } else {
    return false;
  }
  if (hour > 23 || minute > 59 || second > 59) return false;
  std::string h, m, s;
  if (!TimePart("h", hour, h) || !TimePart("min", minute < 0 ? 0 : minute, m) ||
      !TimePart("s", second < 0 ? 0 : second, s))
    return false;
  std::string w = h;
  if (second > 0) {
    w += (minute > 0 ? " " + m : "") + " e " + s;
  } else if (minute > 0) {
    w = units ? h + " e " + m : Cardinal(hour, 'f') + " e " + CardinalWords(minute);
  }
  Say(out, w);
  pos = p;
  return true;
}

int DaysIn(int64_t month, int64_t year) {
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month != 2 || year < 0) return kDays[month - 1];
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return leap ? 29 : 28;
}

// Dates: d/m/aaaa, dd/mm/aa, dd/mm; a date that cannot be is left to the
// plain reader (numbers and "barra").
bool ReadDate(const std::string& t, size_t& pos, std::string& out) {
  size_t dn = DigitsFrom(t, pos);
  if (dn < 1 || dn > 2 || At(t, pos + dn) != '/') return false;
  size_t mp = pos + dn + 1, mn = DigitsFrom(t, mp);
  if (mn < 1 || mn > 2) return false;
  size_t p = mp + mn, yn = 0;
  if (At(t, p) == '/') {
    yn = DigitsFrom(t, p + 1);
    if (yn != 2 && yn != 4) return false;
    if (yn == 4 && t[p + 1] == '0') return false;
  } else if (dn == 1 && mn == 1) {
    return false;  // 1/2 is a fraction as much as a date
  }
  size_t end = yn ? p + 1 + yn : p;
  if (!NumberEndsAt(t, end)) return false;
  int64_t day = Value(t, pos, dn), month = Value(t, mp, mn);
  int64_t year = yn == 4 ? Value(t, p + 1, 4) : yn == 2 ? 2000 + Value(t, p + 1, 2) : -1;
  if (month < 1 || month > 12 || day < 1 || day > DaysIn(month, year)) return false;
  const ReadingEntry* name = FindReadingEntry(kMonths, std::to_string(month));
  if (!name) return false;
  std::string w = (day == 1 ? OrdinalWords('m', 1) : CardinalWords(day)) + " de " + name->Field(0);
  if (yn == 4) w += " de " + CardinalWords(year);
  if (yn == 2) w += " de " + DigitsAsNumber(t.substr(p + 1, 2));
  Say(out, w);
  pos = end;
  return true;
}

// Ranges: 10-20, 5-10, 1990-2000: the first below the second, the second
// as long, or one digit longer after one or two digits; two numbers of four
// digits only when both are years (3333-4444 and 555-1234 are telephones).
bool ReadRange(const std::string& t, size_t& pos, std::string& out) {
  if (pos > 0 && (t[pos - 1] == '-' || t[pos - 1] == '/' || t[pos - 1] == '.' || t[pos - 1] == ','))
    return false;
  size_t an = DigitsFrom(t, pos);
  size_t dash = pos + an;
  if (an < 1 || an > 4 || (an > 1 && t[pos] == '0')) return false;
  if (At(t, dash) != '-' && At(t, dash) != 0x96) return false;  // hyphen or en dash
  size_t bn = DigitsFrom(t, dash + 1);
  if (bn < 1 || bn > 4 || (bn > 1 && t[dash + 1] == '0')) return false;
  size_t end = dash + 1 + bn;
  if (!NumberEndsAt(t, end) || At(t, end) == '-') return false;
  int64_t a = Value(t, pos, an), b = Value(t, dash + 1, bn);
  if (a >= b || (bn != an && !(bn == an + 1 && an <= 2))) return false;
  auto year = [](int64_t y) { return y >= 1000 && y <= 2099; };
  if (an == 4 && bn == 4 && !(year(a) && year(b))) return false;
  std::string w = CardinalWords(a) + " a " + CardinalWords(b);
  size_t unitEnd = 0;
  if (const ReadingEntry* unit = EntryAfter(kUnits, t, end, unitEnd)) {
    w = Cardinal(a, GenderOf(unit->Field(2))) + " a " + Cardinal(b, GenderOf(unit->Field(2))) +
        " " + unit->Field(1);
    end = unitEnd;
  }
  Say(out, w);
  pos = end;
  return true;
}

// The form of a digit group at p ('d' a digit, anything else itself).
bool MatchesGroups(const std::string& t, size_t p, const std::string& form, size_t& end) {
  for (char f : form) {
    if (f == 'd' ? !DigitAt(t, p) : At(t, p) != static_cast<unsigned char>(f)) return false;
    ++p;
  }
  if (!NumberEndsAt(t, p)) return false;
  end = p;
  return true;
}

// Telephones, CEP, CPF: the digits of each group one by one, a short pause
// between groups.
bool ReadDigitGroups(const std::string& t, size_t& pos, std::string& out, const std::string& lead) {
  for (const ReadingEntry& e : ReadingEntries(kDigitGroups)) {
    size_t end = 0;
    if (!MatchesGroups(t, pos, e.key, end)) continue;
    std::string w = lead;
    for (size_t p = pos; p < end;) {
      size_t n = DigitsFrom(t, p);
      if (n == 0) {
        ++p;
        continue;
      }
      w += (w.empty() ? "" : ", ") + DigitByDigit(t.substr(p, n));
      p += n;
    }
    Say(out, w);
    pos = end;
    return true;
  }
  return false;
}

// A telephone after its area code in brackets: (11) 98765-4321.
bool ReadAreaCode(const std::string& t, size_t& pos, std::string& out) {
  if (DigitsFrom(t, pos + 1) != 2 || t[pos + 1] == '0' || At(t, pos + 3) != ')') return false;
  size_t p = pos + 4;
  if (At(t, p) == ' ') ++p;
  if (!DigitAt(t, p) || !ReadDigitGroups(t, p, out, CardinalWords(Value(t, pos + 1, 2)))) return false;
  pos = p;
  return true;
}

// Roman numerals I to MMMCMXCIX in their one right spelling.
bool RomanValue(const std::string& w, int& value) {
  static const struct {
    const char* s;
    int v;
  } kRoman[] = {{"M", 1000}, {"CM", 900}, {"D", 500}, {"CD", 400}, {"C", 100},
                {"XC", 90},  {"L", 50},   {"XL", 40}, {"X", 10},   {"IX", 9},
                {"V", 5},    {"IV", 4},   {"I", 1}};
  value = 0;
  size_t p = 0;
  std::string canonical;
  for (const auto& r : kRoman) {
    size_t len = std::char_traits<char>::length(r.s);
    while (w.compare(p, len, r.s) == 0) {
      value += r.v;
      p += len;
    }
  }
  if (p != w.size() || value < 1 || value > 3999) return false;
  int rest = value;
  for (const auto& r : kRoman)
    while (rest >= r.v) {
      canonical += r.s;
      rest -= r.v;
    }
  return canonical == w;
}

// What the word before a Roman numeral makes of it: 'o' ordinal up to the
// tenth (D. Pedro II, século V), 'c' cardinal (capítulo IV), 0 nothing.
char RomanReading(const std::string& t, size_t pos, int value) {
  if (pos < 2 || t[pos - 1] != ' ') return 0;
  size_t end = pos - 1, start = end;
  while (start > 0 && IsTextLetter(At(t, start - 1))) --start;
  if (start == end) return 0;
  std::string word = t.substr(start, end - start);
  if (const ReadingEntry* e = FindReadingEntry(kRomanWords, LowerLatin1Text(word)))
    return e->Field(0) == "o" ? 'o' : 'c';
  // A name: a capital, then small letters only (Pedro, Luís, João Paulo).
  unsigned char first = static_cast<unsigned char>(word[0]);
  bool name = word.size() >= 2 && UpperLatin1Char(first) == first && LowerLatin1Char(first) != first &&
              LowerLatin1Text(word.substr(1)) == word.substr(1);
  return name && value <= 39 ? 'o' : 0;
}

std::string LetterName(unsigned char c) {
  if (const ReadingEntry* e = FindReadingEntry(kLetterNames, std::string(1, static_cast<char>(UpperLatin1Char(c)))))
    return e->Field(0);
  return TrimBlanks(CharName(c));
}

std::string Spelled(const std::string& letters) {
  std::string s;
  for (unsigned char c : letters) s += (s.empty() ? "" : " ") + LetterName(c);
  return s;
}

bool IsAsciiVowel(char c) { return c == 'A' || c == 'E' || c == 'I' || c == 'O' || c == 'U'; }

bool OneOf(const std::string& s, std::initializer_list<const char*> list) {
  for (const char* l : list)
    if (s == l) return true;
  return false;
}

// Consonants that may begin a Portuguese syllable, and those that may
// close one.
bool Onset(const std::string& c) {
  return c.size() <= 1 || OneOf(c, {"BR", "CR", "DR", "FR", "GR", "PR", "TR", "VR", "BL", "CL",
                                    "FL", "GL", "PL", "TL", "CH", "LH", "NH"});
}
bool Coda(const std::string& c) {
  return c.empty() || OneOf(c, {"L", "M", "N", "R", "S", "X", "Z", "NS", "RS"});
}

// A run of capitals that reads as a Portuguese word (ERRO, BOM DIA, AVISO)
// rather than as letters (IBGE, DNA, INSS): every cluster of consonants can
// close one syllable and begin the next.
bool Pronounceable(const std::string& w) {
  size_t p = 0;
  auto cluster = [&w, &p]() {
    size_t s = p;
    while (p < w.size() && !IsAsciiVowel(w[p])) ++p;
    return w.substr(s, p - s);
  };
  if (!Onset(cluster()) || p == w.size()) return false;
  while (p < w.size()) {
    while (p < w.size() && IsAsciiVowel(w[p])) ++p;
    std::string c = cluster();
    if (p == w.size()) return Coda(c);
    bool split = false;
    for (size_t k = 0; k <= c.size() && !split; ++k) split = Coda(c.substr(0, k)) && Onset(c.substr(k));
    if (!split) return false;
  }
  return true;
}

// Acronyms (IBGE, ONGs) and Roman numerals after a name or a word such as
// século or capítulo.
bool ReadCapitals(const std::string& t, size_t& pos, std::string& out) {
  size_t n = 0;
  while (IsAsciiUpper(At(t, pos + n))) ++n;
  bool plural = At(t, pos + n) == 's';
  size_t end = pos + n + (plural ? 1 : 0);
  if (!EndsAt(t, end)) return false;
  std::string word = t.substr(pos, n);
  // An abbreviation before its point is the abbreviations' business.
  if (At(t, end) == '.' && !FindAbbreviation(t.substr(pos, end - pos)).empty()) return false;
  int value = 0;
  char roman = !plural && RomanValue(word, value) ? RomanReading(t, pos, value) : 0;
  if (roman) {
    Say(out, roman == 'o' && value <= 10 ? OrdinalWords('m', value) : CardinalWords(value));
  } else if (const ReadingEntry* e = FindReadingEntry(kAcronyms, word)) {
    Say(out, (e->Field(0).empty() ? LowerLatin1Text(word) : e->Field(0)) + (plural ? "s" : ""));
  } else if (n >= 2 && n <= 8 && !Pronounceable(word)) {
    Say(out, Spelled(word) + (plural ? "s" : ""));
  } else {
    return false;
  }
  pos = end;
  return true;
}

std::string SignName(unsigned char c) {
  return TrimBlanks(CharName(c == '-' ? 0xAD : c));  // hífen in addresses
}

// A piece of an address: letters as a word (spelled when they have no
// vowel), a known ending as it is said, digits as a number, signs by name.
std::string AddressWords(const std::string& t, size_t from, size_t to) {
  std::string w;
  auto add = [&w](const std::string& s) { w += (w.empty() ? "" : " ") + s; };
  size_t p = from;
  while (p < to) {
    size_t q = p;
    if (IsAsciiLetter(At(t, p))) {
      bool vowel = false;
      while (q < to && IsAsciiLetter(At(t, q))) vowel |= IsVowel(At(t, q++));
      std::string run = t.substr(p, q - p);
      bool wholeLabel = (p == from || !IsAsciiAlnum(At(t, p - 1))) && !IsAsciiAlnum(At(t, q));
      const ReadingEntry* known = wholeLabel ? FindReadingEntry(kDomains, LowerLatin1Text(run)) : nullptr;
      add(known ? known->Field(0) : vowel ? run : Spelled(run));
    } else if (IsDigitChar(At(t, p))) {
      while (q < to && IsDigitChar(At(t, q)) && q - p < 15) ++q;
      add(DigitsAsNumber(t.substr(p, q - p)));
    } else {
      q = p + 1;
      add(SignName(At(t, p)));
    }
    p = q;
  }
  return w;
}

bool StartsWithNoCase(const std::string& t, size_t p, const char* s) {
  for (size_t i = 0; s[i]; ++i)
    if (LowerLatin1Char(At(t, p + i)) != static_cast<unsigned char>(s[i])) return false;
  return true;
}

// Host names: labels of letters, digits and hyphens joined by points.
size_t HostEnd(const std::string& t, size_t p, int& labels, size_t& lastLabel) {
  labels = 0;
  size_t end = p;
  for (;;) {
    size_t s = p;
    while (IsAsciiAlnum(At(t, p)) || (At(t, p) == '-' && p > s)) ++p;
    if (p == s) break;
    ++labels;
    lastLabel = s;
    end = p;
    if (At(t, p) != '.' || !IsAsciiAlnum(At(t, p + 1))) break;
    ++p;
  }
  return end;
}

bool PathChar(unsigned char c) { return IsAsciiAlnum(c) || c == '/' || c == '-' || c == '_' || c == '~'; }

// E-mail and web addresses: fulano@exemplo.com.br, www.gov.br,
// https://exemplo.com/pagina, exemplo.com.br.
bool ReadAddress(const std::string& t, size_t& pos, std::string& out) {
  if (pos > 0 && InLatin1Set(At(t, pos - 1), "@._-/")) return false;
  size_t p = pos;
  std::string w;
  bool scheme = false;
  for (const char* s : {"https://", "http://"}) {
    if (!scheme && StartsWithNoCase(t, p, s)) {
      scheme = true;
      size_t len = std::char_traits<char>::length(s) - 3;
      w = Spelled(UpperLatin1Text(t.substr(p, len))) + " " + SignName(':') + " " + SignName('/') +
          " " + SignName('/');
      p += len + 3;
    }
  }
  size_t local = p;
  while (IsAsciiAlnum(At(t, local)) || InLatin1Set(At(t, local), "._%+-")) ++local;
  int labels = 0;
  size_t lastLabel = 0, end = 0;
  if (!scheme && local > p && At(t, local) == '@' && IsAsciiAlnum(At(t, p)) &&
      IsAsciiAlnum(At(t, local - 1))) {
    end = HostEnd(t, local + 1, labels, lastLabel);
    if (labels < 2) return false;
    for (size_t i = lastLabel; i < end; ++i)
      if (!IsAsciiLetter(At(t, i))) return false;
    w = AddressWords(t, p, local) + " " + SignName('@') + " " + AddressWords(t, local + 1, end);
  } else {
    end = HostEnd(t, p, labels, lastLabel);
    bool www = labels >= 2 && StartsWithNoCase(t, p, "www.");
    if (!scheme && !www) {
      // A bare name only with a known ending, all in small letters.
      std::string host = t.substr(p, end - p);
      if (labels < 2 || LowerLatin1Text(host) != host ||
          !FindReadingEntry(kDomains, t.substr(lastLabel, end - lastLabel)))
        return false;
    }
    if (labels < 1) return false;
    // The path: "/" and letters, digits, - _ ~, with points between them.
    if (At(t, end) == '/') {
      while (PathChar(At(t, end)) || (At(t, end) == '.' && IsAsciiAlnum(At(t, end + 1)))) ++end;
    }
    w += (w.empty() ? "" : " ") + AddressWords(t, p, end);
  }
  if (!EndsAt(t, end) || At(t, end) == '@') return false;
  Say(out, w);
  pos = end;
  return true;
}

}  // namespace

bool ReadEverydayForm(const std::string& t, size_t& pos, std::string& out) {
  if (!ReadingTablesLoaded()) return false;
  unsigned char c = At(t, pos);
  bool start = pos == 0 || !WordCharAt(t, pos - 1);
  bool alone = pos == 0 || t[pos - 1] == ' ';
  if (start && IsAsciiAlnum(c) && ReadAddress(t, pos, out)) return true;
  if (start && IsDigitChar(c))
    return ReadDate(t, pos, out) || ReadTime(t, pos, out) || ReadRange(t, pos, out) ||
           ReadDigitGroups(t, pos, out, "") || ReadAmountWithSign(t, pos, out);
  if (start && c == '(' && ReadAreaCode(t, pos, out)) return true;
  if (start && (!IsTextLetter(c) || IsAsciiUpper(c)) && ReadMoneyBefore(t, pos, out)) return true;
  if (start) {
    // nº 5, n.º 12
    const ReadingEntry* mark = MatchReadingEntry(kNumberMarks, t, pos);
    size_t end = mark ? pos + mark->key.size() : 0;
    if (mark && (DigitAt(t, end) || (At(t, end) == ' ' && DigitAt(t, end + 1)))) {
      Say(out, mark->Field(0));
      pos = end;
      return true;
    }
  }
  if (start && IsAsciiUpper(c)) return ReadCapitals(t, pos, out);
  if (alone && !IsTextLetter(c) && !IsDigitChar(c)) {
    const ReadingEntry* sign = MatchReadingEntry(kSymbols, t, pos);
    size_t end = sign ? pos + sign->key.size() : 0;
    if (sign && (end == t.size() || t[end] == ' ')) {
      Say(out, sign->Field(0));
      pos = end;
      return true;
    }
  }
  if (const ReadingEntry* pause = FindReadingEntry(kPauses, std::string(1, static_cast<char>(c)))) {
    Say(out, pause->Field(0));
    ++pos;
    return true;
  }
  return false;
}
