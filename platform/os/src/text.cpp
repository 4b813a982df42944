// Windows-1252 <-> UTF-8. The 0x80-0x9F block holds the typographic marks
// of Windows-1252; its five unassigned codes stand for the C1 controls of
// the same number, as Windows converts them.
#include "platform/os/text.h"

#include <array>
#include <utility>

namespace platform {
namespace {

constexpr std::array<char32_t, 32> kHighBlock = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t ToCodePoint(unsigned char c) {
  return (c >= 0x80 && c <= 0x9F) ? kHighBlock[c - 0x80] : c;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

int FromCodePoint(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (size_t i = 0; i < kHighBlock.size(); ++i)
    if (kHighBlock[i] == cp) return static_cast<int>(0x80 + i);
  return -1;
}

}  // namespace

std::string Cp1252CharToUtf8(unsigned char c) {
  std::string out;
  AppendUtf8(out, ToCodePoint(c));
  return out;
}

char CodePointToCp1252(char32_t cp) {
  int c = FromCodePoint(cp);
  return c < 0 ? '?' : static_cast<char>(c);
}

std::string Cp1252ToUtf8(const std::string& s) {
  std::string out;
  out.reserve(s.size() + s.size() / 4);
  for (unsigned char c : s) AppendUtf8(out, ToCodePoint(c));
  return out;
}

size_t DecodeUtf8(const unsigned char* p, size_t n, char32_t& cp) {
  if (n == 0) return 0;
  unsigned char lead = p[0];
  if (lead < 0x80) {
    cp = lead;
    return 1;
  }
  size_t len = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (len == 0 || lead > 0xF4) return kUtf8Invalid;
  if (n < len) {
    for (size_t i = 1; i < n; ++i)
      if ((p[i] & 0xC0) != 0x80) return kUtf8Invalid;
    return kUtf8Incomplete;
  }
  char32_t v = lead & (0x7F >> len);
  for (size_t i = 1; i < len; ++i) {
    if ((p[i] & 0xC0) != 0x80) return kUtf8Invalid;
    v = (v << 6) | (p[i] & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (v < kMin[len] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
    return kUtf8Invalid;
  cp = v;
  return len;
}

std::string Utf8ToCp1252(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  auto p = reinterpret_cast<const unsigned char*>(s.data());
  size_t i = 0;
  while (i < s.size()) {
    char32_t cp = 0;
    size_t len = DecodeUtf8(p + i, s.size() - i, cp);
    if (len == kUtf8Invalid || len == kUtf8Incomplete) {
      out += '?';
      ++i;
      continue;
    }
    int c = FromCodePoint(cp);
    out += c < 0 ? '?' : static_cast<char>(c);
    i += len;
  }
  return out;
}

bool IsValidUtf8(const std::string& s) {
  auto p = reinterpret_cast<const unsigned char*>(s.data());
  for (size_t i = 0; i < s.size();) {
    char32_t cp = 0;
    size_t len = DecodeUtf8(p + i, s.size() - i, cp);
    if (len == kUtf8Invalid || len == kUtf8Incomplete) return false;
    i += len;
  }
  return true;
}

namespace {

std::string MapBytes(std::string s, unsigned char (*map)(unsigned char)) {
  for (char& c : s) c = static_cast<char>(map(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::string UpperLatin1Text(std::string s) { return MapBytes(std::move(s), UpperLatin1Char); }
std::string LowerLatin1Text(std::string s) { return MapBytes(std::move(s), LowerLatin1Char); }
std::string UpperAsciiText(std::string s) { return MapBytes(std::move(s), UpperAscii); }

bool EqualsNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerLatin1Char(static_cast<unsigned char>(a[i])) !=
        LowerLatin1Char(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

namespace {

int DigitValue(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9') v = c - '0';
  else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
  return v < base ? v : -1;
}

// Length of the hexadecimal prefix at pos ("$", "0x", "0X"), 0 for none.
size_t HexPrefix(const std::string& s, size_t pos) {
  if (pos < s.size() && s[pos] == '$') return 1;
  if (pos + 1 < s.size() && s[pos] == '0' && (s[pos + 1] == 'x' || s[pos + 1] == 'X')) return 2;
  return 0;
}

}  // namespace

bool ParseInteger(const std::string& field, int32_t& value) {
  size_t pos = field.find_first_not_of(' ');
  if (pos == std::string::npos) return false;
  bool negative = field[pos] == '-';
  if (field[pos] == '-' || field[pos] == '+') ++pos;
  size_t prefix = HexPrefix(field, pos);
  int base = prefix ? 16 : 10;
  pos += prefix;
  if (pos >= field.size()) return false;
  // Decimal fields must fit the signed range; hexadecimal ones may use all
  // 32 bits, as the runtime reads $FFFFFFFF as -1.
  uint64_t limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  uint64_t n = 0;
  for (; pos < field.size(); ++pos) {
    int d = DigitValue(field[pos], base);
    if (d < 0) return false;
    n = n * base + d;
    if (n > limit) return false;
  }
  uint32_t bits = static_cast<uint32_t>(n);
  value = static_cast<int32_t>(negative ? 0u - bits : bits);
  return true;
}

}  // namespace platform
