#include "app/answer.h"

#include "app/birthdate.h"
#include "platform/os/text.h"

namespace {

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
  if (!platform::ParseInteger(field, v)) return false;
  out = static_cast<uint16_t>(static_cast<uint32_t>(v) & 0xFFFF);
  return true;
}

}  // namespace

bool ParseBirthAnswer(const std::string& answer, BirthDate& date) {
  std::string rest = answer;
  std::string dayField = TakeField(rest);
  std::string monthField = TakeField(rest);
  BirthDate d;
  if (!ParseWord(dayField, d.day) || !ParseWord(monthField, d.month) || !ParseWord(rest, d.year))
    return false;
  if (d.year < FirstYear) return false;
  // A day that never was (31/2, 29/2 of a common year, month 13) would get
  // a report of its own.
  if (d.day < 1 || d.day > DaysInMonth(d.month, d.year)) return false;
  date = d;
  return true;
}
