// Text to plain ASCII letters with accent marks written after the vowel, so
// that the rules see one spelling for every way a letter can be typed.
#include <array>
#include <initializer_list>

#include "diphone/letters.h"
#include "diphone/translator.h"

namespace {

struct Transliteration {
  std::initializer_list<int> codes;
  const char* text;
};

// Codes 128..255 of Windows-1252 (and the DOS code page letters that old
// files still carry). Unlisted codes have no sound of their own.
const Transliteration kTable[] = {
    {{128, 135, 199, 231}, "ss"},
    {{129, 154}, "u\""},
    {{130, 144, 201, 233}, "e'"},
    {{131, 194, 226}, "a^"},
    {{132, 142, 195, 196, 227, 228}, "a~"},
    {{133, 192, 224}, "a`"},
    {{134, 143, 160, 193, 225}, "a'"},
    {{136, 202, 234}, "e^"},
    {{137, 203, 235}, "e\""},
    {{138, 200, 232}, "e`"},
    {{139, 207, 239}, "i\""},
    {{140, 206, 238}, "i^"},
    {{141, 204, 236}, "i`"},
    {{145, 198, 230}, "ae"},
    {{146}, "-"},
    {{147, 212, 244}, "o^"},
    {{148, 153, 213, 245}, "o~"},
    {{149, 210, 214, 242, 246}, "o`"},
    {{150, 219, 251}, "u^"},
    {{151, 217, 249}, "u`"},
    {{152}, "y-"},
    {{161, 205, 237}, "i'"},
    {{162, 211, 243}, "o'"},
    {{163, 218, 250}, "u'"},
    {{164, 165, 209, 241}, "nh"},
    {{167}, "\xA7"},
    {{168, 191}, "?"},
    {{171}, "\xAA"},
    {{173}, "!"},
    {{174, 175}, "\""},
    {{187}, "\xBA"},
    {{197, 229}, "a"},
    {{215, 247}, "x"},
    {{216, 248}, "0"},
    {{220, 252}, "u"},
};

std::array<const char*, 256> BuildTable() {
  std::array<const char*, 256> t{};
  t.fill("");
  for (const auto& row : kTable) {
    for (int code : row.codes) t[code] = row.text;
  }
  return t;
}

const std::array<const char*, 256>& Table() {
  static const std::array<const char*, 256> table = BuildTable();
  return table;
}

// W and Y next to a letter are read as the vowels they sound like.
char ReadAsVowel(char c, char before, char after) {
  if (!letters::IsLetter(before) && !letters::IsLetter(after)) return c;
  if (c == 'W' || c == 'w') return 'u';
  if (c == 'Y' || c == 'y') return 'i';
  return c;
}

std::string Replacement(unsigned char c) {
  if (c < 32) return "";
  if (c < 128) return std::string(1, static_cast<char>(c));
  return Table()[c];
}

}  // namespace

std::string NormalizeText(const std::string& text) {
  std::string t = text;
  std::string out;
  out.reserve(t.size() + t.size() / 4);
  for (size_t i = 0; i < t.size(); ++i) {
    char before = i > 0 ? t[i - 1] : '\0';
    char after = i + 1 < t.size() ? t[i + 1] : '\0';
    t[i] = ReadAsVowel(t[i], before, after);
    if (t[i] == '\'' && (before == 'D' || before == 'd')) continue;
    std::string r = Replacement(static_cast<unsigned char>(t[i]));
    // An unmapped character becomes a word of its own that sounds as "_1".
    out += r.empty() ? std::string(" \x01 ") : r;
  }
  return out;
}
