// The line editor's changes to its text: typing, deleting, blanking, the
// selection, copy and paste, and the drawing of the field.
#include <algorithm>
#include <string>
#include <vector>

#include "console/snwin.h"
#include "speech/editor_field.h"
#include "speech/sncrt.h"

namespace {

constexpr unsigned char Blank = ' ';
constexpr uint8_t SelectionBackground = 8;

void WritePart(const std::string& text, int from, int to) {
  if (to > from) WriteChars(text.substr(from, to - from));
}

bool AnyTextFrom(const EditField& f, int p) {
  return p <= f.maxLen && f.s.find_first_not_of(Blank, p - 1) != std::string::npos;
}

}  // namespace

unsigned char FieldAt(const EditField& f, int p) {
  if (p >= 1 && p <= f.maxLen) return static_cast<unsigned char>(f.s[p - 1]);
  bool justPast = p == 0 || p == f.maxLen + 1;
  return justPast ? Blank : 1;
}

bool FieldLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128;
}

bool FieldDigit(unsigned char c) { return c >= '0' && c <= '9'; }

bool HasSelection(const EditField& f) { return f.anchor != 0 && f.selEnd != 0; }

void ClearSelection(EditField& f) { f.anchor = f.selEnd = 0; }

int EndOfText(const EditField& f) {
  size_t lastText = f.s.find_last_not_of(Blank);
  return lastText == std::string::npos ? 1 : static_cast<int>(lastText) + 2;
}

// The shown part, the selection on its own background.
void DrawField(const EditField& f) {
  MoveCursor(f.x, f.y);
  std::string shown = f.s.substr(std::min<size_t>(f.first - 1, f.s.size()), std::max(f.width, 0));
  int n = static_cast<int>(shown.size());
  int lo = 0, hi = 0;
  if (HasSelection(f)) {
    lo = std::min(f.anchor, f.selEnd) - f.first;
    hi = std::max(f.anchor, f.selEnd) - f.first;
  }
  if (HasSelection(f) && lo < f.width && hi >= 0) {
    lo = std::clamp(lo, 0, n);
    hi = std::clamp(hi, 0, n);
    uint8_t saved = TextAttribute;
    WritePart(shown, 0, lo);
    SetTextBackground(SelectionBackground);
    WritePart(shown, lo, hi);
    TextAttribute = saved;
    WritePart(shown, hi, n);
  } else {
    WritePart(shown, 0, n);
  }
  if (n < ScreenColumns) ClearToEndOfLine();
  MoveCursor(f.x + f.pos - f.first, f.y);
}

void BlankFrom(EditField& f, int p) {
  for (int i = std::max(p, 1); i <= f.maxLen; ++i) f.s[i - 1] = Blank;
}

void FirstKeyRule(EditField& f, unsigned char c) {
  if (!f.firstKey || !SelectionOverwrite || !AnyTextFrom(f, f.pos)) return;
  SoundClick();
  SoundClick();
  if (c >= 32 && f.editable) BlankFrom(f, 1);
}

void InsertChar(EditField& f, unsigned char c) {
  if (!f.editable) return;
  if (f.pos > f.maxLen) return SoundBuzz();
  f.s.insert(f.s.begin() + (f.pos - 1), static_cast<char>(c));
  f.s.pop_back();
  DrawField(f);
  // The cursor goes past c before c is echoed, so that a Braille display
  // shows it there at once rather than after the echo.
  ++f.pos;
  MoveCursor(f.x + f.pos - f.first, f.y);
  if (EchoTyping) SpeakLetter(c);
}

void DeleteAt(EditField& f, bool withCue) {
  if (!f.editable || f.pos > f.maxLen) return;
  unsigned char removed = static_cast<unsigned char>(f.s[f.pos - 1]);
  f.s.erase(f.s.begin() + (f.pos - 1));
  f.s.push_back(static_cast<char>(Blank));
  DrawField(f);
  if (withCue) PlayWordFile("_DEL");
  SpeakLetter(removed);
}

void DeleteSelection(EditField& f) {
  if (!f.editable) return;
  int lo = std::min(f.anchor, f.selEnd), hi = std::max(f.anchor, f.selEnd);
  f.pos = lo;
  PlayWordFile("_DEL");
  for (int i = lo; i < hi; ++i) DeleteAt(f, false);
  f.selEnd = f.anchor;
}

void CopyField(const EditField& f) {
  std::string text;
  if (HasSelection(f)) {
    int lo = std::min(f.anchor, f.selEnd), hi = std::max(f.anchor, f.selEnd);
    text = f.s.substr(std::min<size_t>(lo - 1, f.s.size()), hi - lo);
  } else {
    text = f.s.substr(0, f.s.find_last_not_of(Blank) + 1) + "\r\n";
  }
  CopyToClipboard(text.c_str());
}

void PasteField(EditField& f) {
  std::vector<char> buffer(f.s.size() + 1, 0);
  PasteFromClipboard(buffer.data(), static_cast<int>(buffer.size()));
  std::string text(buffer.data());
  text = text.substr(0, text.find_first_of("\r\n"));
  if (f.firstKey && SelectionOverwrite) {
    SoundClick();
    SoundClick();
    BlankFrom(f, 1);
  }
  int start = f.pos, stop = f.pos;
  if (HasSelection(f)) {
    start = std::min(f.anchor, f.selEnd);
    stop = std::max(f.anchor, f.selEnd);
  }
  std::string before = f.s.substr(0, start - 1);
  std::string after = f.s.substr(std::min<size_t>(stop - 1, f.s.size()));
  f.s = (before + text + after).substr(0, f.maxLen);
  f.s.resize(f.maxLen, Blank);
  f.pos = start;
  f.anchor = start;
  f.selEnd = start + static_cast<int>(text.size());
}
