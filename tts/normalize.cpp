// Text normalisation: the abbreviations file, and the walk over a text
// that turns numbers, signs and abbreviations into words.
#include "tts/normalize.h"

#include <vector>

#include "platform/os/text.h"
#include "tts/latin1.h"
#include "tts/reading_tables.h"

namespace {

const char* const kLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
    "\xC0\xC1\xC2\xC3\xC7\xC9\xCA\xCC\xCD\xD1\xD3\xD4\xD5\xD9\xDA\xDC"   // ÀÁÂÃÇÉÊÌÍÑÓÔÕÙÚÜ
    "\xE0\xE1\xE2\xE3\xE7\xE9\xEA\xEC\xED\xF1\xF3\xF4\xF5\xF9\xFA\xFC";  // àáâãçéêìíñóôõùúü
const char* const kConsonants = "BCDFGHJKLMNPQRSTVWXYZbcdfghjklmnpqrstvwxyz\xC7\xD1\xE7\xF1";
const char* const kKeptSigns = " !(),.:;?";
const char* const kDropped = "\t\n\r";
constexpr size_t kMaxExpansion = 999;

struct Abbreviation {
  std::string key, expansion;
};

struct AbbreviationState {
  std::vector<Abbreviation> table;  // file order
};
AbbreviationState A;

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool DigitAt(const std::string& t, size_t p) {
  return p < t.size() && IsDigit(static_cast<unsigned char>(t[p]));
}

// A run of digits and hyphens with a hyphen in it (555-1234): sign by sign.
bool ReadDigitsAndDashes(const std::string& t, size_t& pos, std::string& out) {
  size_t end = pos;
  bool dash = false;
  while (end < t.size() && (DigitAt(t, end) || t[end] == '-')) dash |= t[end++] == '-';
  if (!dash) return false;
  for (; pos < end; ++pos)
    out += t[pos] == '-' ? std::string(" tra\xE7o") : " " + CardinalWords(t[pos] - '0');
  return true;
}

// A point with exactly three digits after it separates thousands.
bool ThousandsPoint(const std::string& t, size_t p) {
  return t[p] == '.' && DigitAt(t, p + 1) && DigitAt(t, p + 2) && DigitAt(t, p + 3) &&
         !DigitAt(t, p + 4);
}

// The ordinal signs after a number, with how many characters they take
// and the plural ending they add.
struct OrdinalMark {
  const char* text;
  char gender;
  const char* ending;
};
const OrdinalMark kOrdinalMarks[] = {
    {"\xBA", 'm', ""},  {"\xAA", 'f', ""},  {"os.", 'm', "s"}, {"as.", 'f', "s"},
    {"o.", 'm', ""}, {"a.", 'f', ""}, {".\xBA", 'm', ""}, {".\xAA", 'f', ""},
};

// Only blanks from p to the end of the text.
bool AtTextEnd(const std::string& t, size_t p) {
  while (p < t.size() && t[p] == ' ') ++p;
  return p >= t.size();
}

// The point after a word is an abbreviation's when a blank, the end of
// the text or a sign that ends or cuts the sentence follows it (Sra., etc.?).
bool AbbreviationPoint(const std::string& t, size_t p) {
  return p < t.size() && t[p] == '.' && (AtTextEnd(t, p + 1) || InLatin1Set(static_cast<unsigned char>(t[p + 1]), " !?,;:)"));
}

}  // namespace

bool IsTextLetter(unsigned char c) { return InLatin1Set(c, kLetters); }
bool IsTextConsonant(unsigned char c) { return InLatin1Set(c, kConsonants); }

bool LoadAbbreviations(const std::string& path) {
  A.table.clear();
  std::vector<std::string> lines;
  if (!platform::ReadTextLines(path, lines)) return false;
  for (std::string line : lines) {
    if (A.table.size() == kMaxAbbreviations) break;
    line = TrimBlanks(line);
    if (line.empty() || line[0] == ';') continue;
    size_t eq = line.find('=');
    if (eq == std::string::npos) {
      A.table.push_back({"", ""});
      continue;
    }
    A.table.push_back({UpperLatin1Text(TrimBlanks(line.substr(0, eq))),
                       TrimBlanks(line.substr(eq + 1, kMaxExpansion))});
  }
  return true;
}

void ClearAbbreviations() { A.table.clear(); }

size_t AbbreviationCount() { return A.table.size(); }

std::string FindAbbreviation(const std::string& word) {
  std::string key = UpperLatin1Text(word);
  if (key.empty()) return "";
  for (const Abbreviation& a : A.table)
    if (a.key == key) return a.expansion;
  return "";
}

std::string ReadNumber(const std::string& t, size_t& pos) {
  std::string out;
  if (ReadDigitsAndDashes(t, pos, out)) return out;
  std::string zeros;
  while (pos + 1 < t.size() && t[pos] == '0' && DigitAt(t, pos + 1)) {
    zeros += "zero ";
    ++pos;
  }
  int64_t value = 0;
  int digits = 0;
  while (pos < t.size()) {
    if (DigitAt(t, pos) && digits < 15) {
      value = value * 10 + (t[pos++] - '0');
      ++digits;
    } else if (ThousandsPoint(t, pos)) {
      ++pos;
    } else {
      break;
    }
  }
  for (const OrdinalMark& m : kOrdinalMarks) {
    if (t.compare(pos, std::char_traits<char>::length(m.text), m.text) == 0) {
      pos += std::char_traits<char>::length(m.text);
      return OrdinalWords(m.gender, value) + m.ending;
    }
  }
  return zeros + CardinalWords(value);
}

std::string ReadWord(const std::string& t, size_t& pos) {
  size_t start = pos;
  bool vowel = false;
  while (pos < t.size() && IsTextLetter(static_cast<unsigned char>(t[pos]))) {
    vowel |= !IsTextConsonant(static_cast<unsigned char>(t[pos]));
    ++pos;
    // A hyphen between letters stays in the word (guarda-chuva).
    if (pos + 1 < t.size() && t[pos] == '-' && IsTextLetter(static_cast<unsigned char>(t[pos + 1])))
      ++pos;
  }
  std::string word = t.substr(start, pos - start);
  if (vowel || (pos < t.size() && t[pos] == '.' && !FindAbbreviation(word).empty())) return word;
  std::string spelled;
  for (unsigned char c : word) spelled += CharName(c);
  return spelled;
}

// An abbreviation written with inner points (p.ex.): its expansion, pos
// left on its last point. False, pos unchanged, when the text has none there.
static bool DottedAbbreviation(const std::string& t, size_t& pos, std::string& expansion) {
  size_t p = pos;
  auto letters = [&](size_t& q) {
    size_t start = q;
    while (q < t.size() && IsTextLetter(static_cast<unsigned char>(t[q]))) ++q;
    return q > start;
  };
  if (!letters(p) || p >= t.size() || t[p] != '.') return false;
  while (p + 1 < t.size() && IsTextLetter(static_cast<unsigned char>(t[p + 1]))) {
    size_t q = p + 1;
    letters(q);
    std::string found = AbbreviationPoint(t, q) ? FindAbbreviation(t.substr(pos, q - pos)) : "";
    if (!found.empty()) {
      expansion = found;
      pos = q;
      return true;
    }
    if (q >= t.size() || t[q] != '.') return false;
    p = q;
  }
  return false;
}

std::string PrepareText(const std::string& text) {
  // A sign alone is its name, unless the tables say it as a word (# cerquilha).
  bool word = text.size() == 1 && FindReadingEntry(kSymbols, text);
  std::string t = text.size() == 1 && !word ? CharName(static_cast<unsigned char>(text[0])) : text;
  std::string out;
  size_t pos = 0;
  while (pos < t.size()) {
    unsigned char c = static_cast<unsigned char>(t[pos]);
    if (ReadEverydayForm(t, pos, out)) {
      continue;
    } else if (c == '-' && pos > 0 && t[pos - 1] == ' ' && pos + 1 < t.size() && t[pos + 1] == ' ') {
      out += ",";
      ++pos;
    } else if (c == '-' && pos > 0 && IsTextLetter(static_cast<unsigned char>(t[pos - 1])) &&
               DigitAt(t, pos + 1)) {
      out += ' ';  // a joiner, not a minus: COVID-19
      ++pos;
    } else if (c == '-' && DigitAt(t, pos + 1)) {
      out += "menos ";
      ++pos;
    } else if (IsDigit(c)) {
      // A number right after a word is a word of its own (20h30, MP3).
      if (!out.empty() && IsTextLetter(static_cast<unsigned char>(out.back()))) out += ' ';
      out += ReadNumber(t, pos) + " ";
      while (pos + 1 < t.size() && (t[pos] == ',' || t[pos] == '.') && DigitAt(t, pos + 1)) {
        out += t[pos++] == ',' ? "v\xEDrgula " : "ponto ";
        out += ReadNumber(t, pos) + " ";
      }
    } else if (IsTextLetter(c)) {
      std::string expansion;
      std::string w = DottedAbbreviation(t, pos, expansion) ? std::string() : ReadWord(t, pos);
      if (!expansion.empty() || (AbbreviationPoint(t, pos) && !(expansion = FindAbbreviation(w)).empty())) {
        out += expansion;
        // The point of an abbreviation that ends the text ends its sentence too.
        if (!AtTextEnd(t, pos + 1)) ++pos;
      } else {
        out += w;
      }
    } else if (t.compare(pos, 3, "...") == 0) {
      out += "... ";
      pos += 3;
    } else if (c == '.' && pos + 1 < t.size() && t[pos + 1] != ' ') {
      out += " ponto ";
      ++pos;
    } else {
      if (InLatin1Set(c, kKeptSigns))
        out += static_cast<char>(c);
      else if (!InLatin1Set(c, kDropped))
        out += " " + CharName(c) + " ";
      ++pos;
    }
  }
  return out;
}

std::string SpokenWords(const std::string& text) {
  std::string out;
  for (char c : PrepareText(text)) {
    if (c == ' ' && (out.empty() || out.back() == ' ' || out.back() == '(')) continue;
    if (InLatin1Set(static_cast<unsigned char>(c), ",.;:!?)") && !out.empty() && out.back() == ' ')
      out.pop_back();
    out += c;
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}
