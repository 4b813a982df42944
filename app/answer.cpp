#include "app/answer.h"

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

// Takes the field text up to the first '/' and leaves the rest in `rest`;
// with no '/', the field is empty and `rest` keeps everything.
std::string TakeField(std::string& rest) {
  size_t slash = rest.find('/');
  if (slash == std::string::npos) return "";
  std::string field = rest.substr(0, slash);
  rest.erase(0, slash + 1);
  return field;
}

bool ParseWord(const std::string& field, uint16_t& out) {
  int32_t v = 0;
  if (!ParseIntegerField(field, v)) return false;
  out = static_cast<uint16_t>(static_cast<uint32_t>(v) & 0xFFFF);
  return true;
}

}  // namespace

bool ParseIntegerField(const std::string& field, int32_t& value) {
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

bool ParseBirthAnswer(const std::string& answer, BirthDate& date) {
  std::string rest = answer;
  std::string dayField = TakeField(rest);
  std::string monthField = TakeField(rest);
  BirthDate d;
  if (!ParseWord(dayField, d.day) || !ParseWord(monthField, d.month) || !ParseWord(rest, d.year))
    return false;
  if (d.year < FirstYear) return false;
  date = d;
  return true;
}
