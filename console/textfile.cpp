// Standard output and input bound to the console: output is collected in a
// 128-byte buffer and written to the screen buffer; input lines come from
// the key queue with echo.
#include <algorithm>

#include "console/console_state.h"

using console_detail::State;
using console_detail::TextBufferSize;

namespace {

void Echo(unsigned char c) { WriteChars(&c, 1); }

}  // namespace

// Each flush ends by pumping messages, so the window and the speech back
// ends run between writes.
void StdFlush() {
  auto& s = State();
  if (s.outputFilled == 0) return;
  WriteChars(s.output, static_cast<uint16_t>(s.outputFilled));
  s.outputFilled = 0;
  KeyPressed();
}

// Every write reaches the screen when it ends, as a Write statement does.
void StdWrite(const std::string& text) {
  auto& s = State();
  for (unsigned char c : text) {
    if (s.outputFilled == TextBufferSize) StdFlush();
    s.output[s.outputFilled++] = c;
  }
  StdFlush();
}

void StdWriteLn(const std::string& text) { StdWrite(text + "\r\n"); }

// A buffer of fewer than two bytes has no room for the line end: it gets
// no text and only what fits of CR LF.
uint16_t ReadEchoLine(unsigned char* buffer, uint16_t size) {
  int i = 0;
  for (uint8_t c = 0; c != 13;) {
    c = ReadKey();
    if (c == 8) {
      if (i > 0) {
        --i;
        Echo(8);
      }
    } else if (c >= 32) {
      if (i < size - 2) {
        buffer[i++] = c;
        Echo(c);
      }
    }
  }
  const unsigned char lineEnd[2] = {13, 10};
  int stored = i;
  for (unsigned char c : lineEnd) {
    if (stored < size) buffer[stored++] = c;
  }
  WriteChars(lineEnd, 2);
  return static_cast<uint16_t>(stored);
}

std::string StdReadLn() {
  StdFlush();
  unsigned char line[TextBufferSize];
  uint16_t n = ReadEchoLine(line, TextBufferSize);
  return std::string(reinterpret_cast<char*>(line), std::max(n - 2, 0));
}
