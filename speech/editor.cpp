// The speaking line editor: a one-line field in which every key answers
// with a letter sound, a recorded word or a cue, ending on Enter, Esc, Tab
// or a function key it does not use itself.
#include <algorithm>
#include <string>

#include "console/snwin.h"
#include "speech/crtstate.h"
#include "speech/editor_field.h"
#include "speech/sncrt.h"

namespace {

constexpr int MaxFieldLength = 2048;
constexpr unsigned char Blank = ' ';
constexpr unsigned VkShift = 0x10, VkAlt = 0x12;

// The review mode the program installed, if any.
void (*ReviewModeHook)() = nullptr;

using KeyAction = void (*)(EditField&);
struct KeyEntry {
  int code;
  KeyAction action;
};

void End(EditField& f) { f.done = true; }
void Nothing(EditField&) {}

void ClearToEnd(EditField& f) {
  if (!f.editable) return;
  BlankFrom(f, f.pos);
  PlayWordFile("_APFCPO");
}

void Backspace(EditField& f) {
  if (f.pos == 1) return SoundBuzz();
  --f.pos;
  DeleteAt(f, true);
}

void SpeakPosition(EditField& f) { SpeakText(std::to_string(f.pos)); }

void MoveToStart(EditField& f) {
  if (!f.editable) return;
  f.s = f.s.substr(f.pos - 1);
  f.s.resize(f.maxLen, Blank);
  f.pos = 1;
  PlayWordFile("_APICPO");
}

void Restore(EditField& f) {
  if (!f.editable) return;
  f.s = f.entryText;
  f.pos = 1;
  for (int i = 0; i < 3; ++i) SoundBuzz();
}

void BlankAll(EditField& f) {
  if (!f.editable) return;
  BlankFrom(f, 1);
  PlayWordFile("_CPOAPA");
  f.pos = 1;
}

void Dial(EditField& f) {
  for (char c : f.s) PlayDtmf(std::string(1, c));
}

void SpeakAll(EditField& f) { SpeakText(f.s); }

void SpeakAllAfterSpeech(EditField& f) {
  WaitWhileSpeaking();
  SpeakText(f.s);
}

void Copy(EditField& f) { CopyField(f); }
void Paste(EditField& f) { PasteField(f); }

constexpr KeyEntry PlainKeys[] = {
    {3, Copy},         {4, ClearToEnd}, {8, Backspace},   {9, End},
    {10, End},         {11, SpeakPosition}, {13, End},    {19, MoveToStart},
    {21, Restore},     {22, Paste},     {25, BlankAll},   {27, End},
    {28, Dial},        {127, DeleteWordBefore}, {222, SpeakAllAfterSpeech},
    {223, Nothing}};

void SpeakWordOrEnd(EditField& f) {
  if (f.alt) {
    f.last = 104;
    End(f);
  } else {
    SpeakFieldWord(f);
  }
}

void ToggleEcho(EditField&) {
  EchoTyping = !EchoTyping;
  PlayWordFile(EchoTyping ? "_FALACI" : "_FALDLG");
}

void Time(EditField&) { SpeakCurrentTime(); }
void Date(EditField&) { SpeakCurrentDate(); }
void OpenWord(EditField& f) { OpenWordUnderCursor(f); }
void Home(EditField& f) { f.pos = 1; }
void EndKey(EditField& f) { f.pos = EndOfText(f); }

void Left(EditField& f) {
  if (f.pos == 1) return SoundBuzz();
  --f.pos;
  SpeakLetter(FieldAt(f, f.pos));
}

void Right(EditField& f) {
  if (f.pos > f.maxLen) return SoundBuzz();
  unsigned char c = FieldAt(f, f.pos);
  bool asciiLetter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  if (f.alt && asciiLetter) PlayWordFile("_FON" + std::to_string(c));
  else SpeakLetter(c);
  ++f.pos;
}

// A Braille display's routing key above a character of the field puts the
// cursor on it; above anything else it is refused.
void RouteTo(EditField& f) {
  int column = 0, row = 0;
  RoutedCell(column, row);
  int p = f.first + column - f.x;
  if (row != f.y || column < f.x || column >= f.x + f.width || p > f.maxLen + 1)
    return SoundBuzz();
  f.pos = p;
  SpeakLetter(FieldAt(f, f.pos));
}

void Delete(EditField& f) {
  if (HasSelection(f)) DeleteSelection(f);
  else DeleteAt(f, true);
}

void Speed(EditField&) { ChangeSpeed(); }

void Review(EditField& f) {
  if (!f.alt) End(f);
  else if (ReviewModeHook) ReviewModeHook();
}

constexpr KeyEntry FunctionKeys[] = {
    {59, SpeakWordOrEnd}, {62, ToggleEcho}, {66, Time},     {70, OpenWord},
    {71, Home},           {75, Left},       {77, Right},    {79, EndKey},
    {83, Delete},         {94, SpeakAll},   {97, Speed},    {101, Date},
    {102, Review},        {115, WordLeft},  {116, WordRight}, {BrailleRouteCode, RouteTo},
    {254, Paste},         {255, Copy}};

template <size_t N>
KeyAction Find(const KeyEntry (&table)[N], int code) {
  for (const KeyEntry& e : table)
    if (e.code == code) return e.action;
  return nullptr;
}

void PlainKey(EditField& f, unsigned char c) {
  f.last = c;
  if (c != 3 && c != 22 && c != 222 && c != 223) ClearSelection(f);
  if (KeyAction action = Find(PlainKeys, c)) return action(f);
  FirstKeyRule(f, c);
  if (c >= 32) InsertChar(f, c);
}

void FunctionKey(EditField& f, int code) {
  f.last = code;
  if (f.shift && f.anchor == 0) f.anchor = f.pos;
  if (!f.shift && code != 254 && code != 255) ClearSelection(f);
  bool alt1to0 = code >= 120 && code <= 129;
  KeyAction action = alt1to0 ? Nothing : Find(FunctionKeys, code);
  if (!action) return End(f);
  action(f);
  if (!f.done && f.shift) f.selEnd = f.pos;
}

void ReadModifiers(EditField& f) {
  f.shift = KeyHeld(VkShift);
  f.alt = KeyHeld(VkAlt);
}

// Reads one key (or a 0 and its code) and handles it.
void HandleNextKey(EditField& f) {
  if (!DeferredText.empty()) SpeakText("");
  unsigned char c = ReadKey();
  StopSpeech();
  ReadModifiers(f);
  if (c != 0) return PlainKey(f, c);
  int code = ReadKey();
  ReadModifiers(f);
  if (code >= 16 && code <= 18) {
    // Alt+Q, Alt+W and Alt+E prefix a plain key.
    unsigned char next = ReadKey();
    ReadModifiers(f);
    if (next != 0) return PlainKey(f, next);
    f.last = code;
    return End(f);
  }
  FunctionKey(f, code);
}

void Scroll(EditField& f) {
  if (f.pos < f.first) f.first = f.pos;
  if (f.first + f.width < f.pos) f.first = f.pos - f.width;
}

}  // namespace

void SetEditorReview(void (*reviewMode)()) { ReviewModeHook = reviewMode; }

char EditFieldSpoken(std::string& s, int x, int y, int maxLen, int width, bool editable) {
  EditField f;
  f.maxLen = std::clamp(maxLen, 0, MaxFieldLength);
  f.width = std::clamp(width, 0, f.maxLen);
  if (y == TextWindowHeight() && TextWindowWidth() < x + f.width) --f.width;
  f.x = x;
  f.y = y;
  f.editable = editable;
  f.s = s.substr(0, f.maxLen);
  f.s.resize(f.maxLen, Blank);
  f.entryText = f.s;
  while (!f.done) {
    Scroll(f);
    DrawField(f);
    HandleNextKey(f);
    f.firstKey = false;
  }
  LastEditColumn = f.pos;
  MoveCursor(x, y);
  WriteChars(f.s.substr(0, std::max(f.width, 0)));
  MoveCursor(x, y);
  s = f.s.substr(0, f.s.find_last_not_of(Blank) + 1);
  return static_cast<char>(f.last);
}

char EditLineSpoken(std::string& s, int x, int y, int maxLen, bool editable) {
  return EditFieldSpoken(s, x, y, maxLen, TextWindowWidth() - x - 1, editable);
}

void ReadLineSpoken(std::string& s) {
  StdFlush();
  s.clear();
  int x = CursorColumn(), y = CursorRow();
  if (EditLineSpoken(s, x, y, 255, true) == 27) {
    MoveCursor(x, y);
    WriteChars(std::string(s.size(), Blank));
    s.clear();
  }
  StdWriteLn();
}
