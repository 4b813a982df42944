// Services that need the console as owner: clipboard text and the clock.
#include <algorithm>
#include <cstring>

#include "console/console_state.h"
#include "platform/os/clock.h"

using namespace console_detail;

void CopyToClipboard(const char* text) {
  OpenConsole();
  State().display->SetClipboardText(text ? text : "");
}

// The buffer gets at most size - 1 characters and a closing zero; with no
// text on the clipboard it becomes empty, with a size of 0 it is untouched.
void PasteFromClipboard(char* buffer, int size) {
  OpenConsole();
  if (size <= 0 || !buffer) return;
  std::string text;
  if (!State().display->GetClipboardText(text)) text.clear();
  text.resize(std::strlen(text.c_str()));  // CF_TEXT ends at its first zero
  size_t n = std::min(text.size() + 1, static_cast<size_t>(size));
  std::memcpy(buffer, text.data(), n - 1);
  buffer[n - 1] = 0;
}

void CurrentDate(uint16_t& year, uint16_t& month, uint16_t& day,
                 uint16_t& weekday) {
  platform::LocalTime t = platform::Now();
  year = static_cast<uint16_t>(t.year);
  month = static_cast<uint16_t>(t.month);
  day = static_cast<uint16_t>(t.day);
  weekday = static_cast<uint16_t>(t.weekday);
}

void CurrentTime(uint16_t& hour, uint16_t& minute, uint16_t& second,
                 uint16_t& hundredths) {
  platform::LocalTime t = platform::Now();
  hour = static_cast<uint16_t>(t.hour);
  minute = static_cast<uint16_t>(t.minute);
  second = static_cast<uint16_t>(t.second);
  hundredths = static_cast<uint16_t>(t.millisecond / 10);
}
