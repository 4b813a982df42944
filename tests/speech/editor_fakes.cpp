#include "tests/speech/editor_fakes.h"

#include <algorithm>
#include <cstring>

#include "console/snwin.h"
#include "platform/messages.h"
#include "tests/speech/fakes.h"

FakeScreen Screen;

void ResetScreen() {
  Screen = FakeScreen();
  std::memset(Screen.chars, ' ', sizeof Screen.chars);
  std::memset(Screen.attrs, 7, sizeof Screen.attrs);
  TextAttribute = 7;
}

std::string ScreenRowText(int row) {
  return std::string(reinterpret_cast<const char*>(Screen.chars[row - 1]), 80);
}

void PutScreenText(int column, int row, const std::string& text, uint8_t attr) {
  for (size_t i = 0; i < text.size() && column + int(i) <= 80; ++i) {
    Screen.chars[row - 1][column - 1 + i] = static_cast<unsigned char>(text[i]);
    Screen.attrs[row - 1][column - 1 + i] = attr;
  }
}

void MoveCursor(int column, int row) {
  Screen.column = column;
  Screen.row = row;
}
int CursorColumn() { return Screen.column; }
int CursorRow() { return Screen.row; }
int TextWindowWidth() { return 80; }
int TextWindowHeight() { return 25; }

void WriteChars(const unsigned char* text, uint16_t count) {
  if (TextAttribute & 0xF0) Screen.highlighted.emplace_back(reinterpret_cast<const char*>(text), count);
  for (uint16_t i = 0; i < count; ++i, ++Screen.column)
    PutScreenText(Screen.column, Screen.row, std::string(1, char(text[i])), TextAttribute);
}
void WriteChars(const std::string& text) {
  WriteChars(reinterpret_cast<const unsigned char*>(text.data()), uint16_t(text.size()));
}
void ClearToEndOfLine() {
  ++Screen.clearsToEnd;
  PutScreenText(Screen.column, Screen.row, std::string(81 - std::min(Screen.column, 81), ' '),
                TextAttribute);
}
void SetTextBackground(uint8_t colour) { TextAttribute = uint8_t((TextAttribute & 0x0F) | (colour << 4)); }

uint8_t ScreenCharAt(int column, int row) {
  bool in = column >= 1 && column <= 80 && row >= 1 && row <= 25;
  return in ? Screen.chars[row - 1][column - 1] : ' ';
}
uint8_t ScreenAttrAt(int column, int row) {
  bool in = column >= 1 && column <= 80 && row >= 1 && row <= 25;
  return in ? Screen.attrs[row - 1][column - 1] : TextAttribute;
}

void CopyToClipboard(const char* text) { Screen.clipboard = text; }
void PasteFromClipboard(char* buffer, int size) {
  if (size <= 0) return;
  size_t n = std::min(Screen.clipboard.size(), size_t(size - 1));
  std::memcpy(buffer, Screen.clipboard.data(), n);
  buffer[n] = 0;
}

bool KeyHeld(unsigned vk) {
  switch (vk) {
    case 0x10: return Fake.heldMods & platform::ModShift;
    case 0x11: return Fake.heldMods & platform::ModCtrl;
    case 0x12: return Fake.heldMods & platform::ModAlt;
    default: return false;
  }
}
