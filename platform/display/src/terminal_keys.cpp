// Decoding terminal input. Keys follow the Windows rules that the console's
// keyboard code is written against: a character key gives its key-down and
// then WM_CHAR; function and cursor keys give only a key-down; Alt without
// Ctrl makes it a system key (and no WM_CHAR, as Windows sends none).
#include "platform/display/src/terminal_keys.h"

#include <string>

#include "platform/os/keys.h"
#include "platform/os/text.h"

namespace platform {
namespace {

using Out = std::vector<Message>;
constexpr unsigned char kEsc = 27;
constexpr size_t kNeedMore = 0;
constexpr size_t kMaxSequence = 32;

struct Decoder {
  const unsigned char* p;
  size_t n;
  bool atEnd;
  bool lineFeedIsEnter;
  unsigned char erase;
  Out& out;
};

Message Make(unsigned message, uintptr_t wParam, unsigned mods) {
  Message m;
  m.message = message;
  m.wParam = wParam;
  m.mods = mods;
  return m;
}

void KeyDown(Out& out, unsigned vk, unsigned mods) {
  DesktopChord(vk, mods);
  bool system = (mods & ModAlt) && !(mods & ModCtrl);
  out.push_back(Make(system ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, mods));
}

// A key that also types a character (none while Alt is held).
void KeyWithChar(Out& out, unsigned vk, unsigned char c, unsigned mods) {
  KeyDown(out, vk, mods);
  if (!(mods & ModAlt)) out.push_back(Make(WM_CHAR, c, mods));
}

unsigned VkOfChar(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 'a' + VK_A;
  if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
  return c == ' ' ? unsigned{VK_SPACE} : 0u;
}

void Printable(Out& out, unsigned char c, unsigned mods) {
  if (c >= 'A' && c <= 'Z') mods |= ModShift;
  KeyWithChar(out, VkOfChar(c), c, mods);
}

void ControlByte(const Decoder& d, unsigned char b, unsigned mods) {
  switch (b) {
    case 13: return KeyWithChar(d.out, VK_RETURN, 13, mods);
    case 10:
      if (d.lineFeedIsEnter) return KeyWithChar(d.out, VK_RETURN, 13, mods);
      return KeyWithChar(d.out, VK_RETURN, 10, mods | ModCtrl);
    case 8:
      if (d.erase == 127) return KeyWithChar(d.out, VK_BACK, 8, mods | ModCtrl);
      return KeyWithChar(d.out, VK_BACK, 8, mods);
    case 127: return KeyWithChar(d.out, VK_BACK, 8, mods);
    case 9: return KeyWithChar(d.out, VK_TAB, 9, mods);
    case 0: return KeyWithChar(d.out, VK_SPACE, ' ', mods | ModCtrl);
    case 28: return KeyDown(d.out, VK_CANCEL, mods | ModCtrl);  // Ctrl+\ = Ctrl+Break
    default: break;
  }
  unsigned vk = (b >= 1 && b <= 26) ? VK_A + b - 1 : 0;
  KeyWithChar(d.out, vk, b, mods | ModCtrl);
}

// Modifier parameter of xterm sequences: 1 + (Shift 1, Alt 2, Ctrl 4, Meta 8).
unsigned ModsOfParameter(int value) {
  if (value < 2) return 0;
  unsigned bits = static_cast<unsigned>(value - 1);
  unsigned mods = 0;
  if (bits & 1) mods |= ModShift;
  if (bits & (2 | 8)) mods |= ModAlt;
  if (bits & 4) mods |= ModCtrl;
  return mods;
}

// Keys named by the final letter of CSI or SS3 sequences.
unsigned VkOfLetter(unsigned char f) {
  switch (f) {
    case 'A': case 'a': return VK_UP;
    case 'B': case 'b': return VK_DOWN;
    case 'C': case 'c': return VK_RIGHT;
    case 'D': case 'd': return VK_LEFT;
    case 'H': return VK_HOME;
    case 'F': return VK_END;
    case 'P': return VK_F1;
    case 'Q': return VK_F2;
    case 'R': return VK_F3;
    case 'S': return VK_F4;
    default: return 0;
  }
}

// Keys named by the number of "CSI n ~" (vt220, xterm, rxvt).
unsigned VkOfNumber(int n) {
  static constexpr struct { int number; unsigned vk; } kTable[] = {
      {1, VK_HOME},  {2, VK_INSERT}, {3, VK_DELETE}, {4, VK_END},
      {5, VK_PRIOR}, {6, VK_NEXT},   {7, VK_HOME},   {8, VK_END},
      {11, VK_F1},   {12, VK_F2},    {13, VK_F3},    {14, VK_F4},
      {15, VK_F5},   {17, VK_F6},    {18, VK_F7},    {19, VK_F8},
      {20, VK_F9},   {21, VK_F10},   {23, VK_F11},   {24, VK_F12}};
  for (const auto& entry : kTable)
    if (entry.number == n) return entry.vk;
  return 0;
}

// rxvt marks modifiers of "CSI n ~" keys by the final byte instead.
unsigned ModsOfTildeFinal(unsigned char f) {
  switch (f) {
    case '$': return ModShift;
    case '^': return ModCtrl;
    case '@': return ModCtrl | ModShift;
    default: return 0;
  }
}

struct Sequence {
  int params[4] = {0, 0, 0, 0};
  int count = 0;
  bool privateMarker = false;
  unsigned char final = 0;
  size_t length = 0;  // bytes including the ESC; 0 when incomplete
};

// Parses the parameters and final byte that start at p[start].
Sequence ParseSequence(const Decoder& d, size_t start) {
  Sequence s;
  bool digits = false;
  for (size_t i = start; i < d.n && i - start < kMaxSequence; ++i) {
    unsigned char c = d.p[i];
    if (c >= '0' && c <= '9') {
      int& param = s.params[s.count < 4 ? s.count : 3];
      if (param < 10000) param = param * 10 + (c - '0');
      digits = true;
    } else if (c == ';') {
      if (s.count < 4) ++s.count;
    } else if (c >= 0x3C && c <= 0x3F) {
      s.privateMarker = true;
    } else if (c == '$' || (c >= 0x40 && c <= 0x7E)) {
      s.count += digits || s.count > 0 ? 1 : 0;
      if (s.count > 4) s.count = 4;
      s.final = c;
      s.length = i + 1;
      return s;
    } else if (c < 0x20 || c > 0x7E) {
      s.length = i;  // broken sequence: drop what came before this byte
      return s;
    }
  }
  if (d.n - start >= kMaxSequence) s.length = start + kMaxSequence;  // runaway
  return s;
}

void CsiKey(const Decoder& d, const Sequence& s, unsigned mods) {
  unsigned withParam = mods | ModsOfParameter(s.count > 1 ? s.params[1] : 0);
  if (s.privateMarker) return;
  if (s.final == '~' || ModsOfTildeFinal(s.final)) {
    if (unsigned vk = VkOfNumber(s.params[0]))
      KeyDown(d.out, vk, withParam | ModsOfTildeFinal(s.final));
  } else if (s.final == 'Z') {
    KeyWithChar(d.out, VK_TAB, 9, mods | ModShift);
  } else if (s.final == 'I' && s.count == 0) {
    d.out.push_back(Make(WM_SETFOCUS, 0, 0));
  } else if (s.final == 'O' && s.count == 0) {
    d.out.push_back(Make(WM_KILLFOCUS, 0, 0));
  } else if (s.final >= 'a' && s.final <= 'd') {
    KeyDown(d.out, VkOfLetter(s.final), mods | ModShift);
  } else if (unsigned vk = VkOfLetter(s.final)) {
    KeyDown(d.out, vk, withParam);
  }
}

void Ss3Key(const Decoder& d, const Sequence& s, unsigned mods) {
  unsigned withParam = mods | ModsOfParameter(s.params[s.count > 0 ? s.count - 1 : 0]);
  if (s.final == 'M') return KeyWithChar(d.out, VK_RETURN, 13, mods);
  if (s.final >= 'a' && s.final <= 'd')
    return KeyDown(d.out, VkOfLetter(s.final), mods | ModCtrl);
  if (unsigned vk = VkOfLetter(s.final)) KeyDown(d.out, vk, withParam);
}

size_t DecodeAt(const Decoder& d, size_t i, unsigned mods);

// The Linux console's F1..F5: ESC [ [ A..E.
size_t LinuxConsoleKey(const Decoder& d, size_t i, unsigned mods) {
  if (i + 3 >= d.n) return d.atEnd ? 3 : kNeedMore;
  unsigned char f = d.p[i + 3];
  if (f >= 'A' && f <= 'E') KeyDown(d.out, VK_F1 + (f - 'A'), mods);
  return 4;
}

size_t EscapeSequence(const Decoder& d, size_t i, unsigned mods) {
  if (i + 1 >= d.n) {
    if (!d.atEnd) return kNeedMore;
    KeyWithChar(d.out, VK_ESCAPE, kEsc, mods);
    return 1;
  }
  unsigned char next = d.p[i + 1];
  if (next == '[' || next == 'O') {
    if (next == '[' && i + 2 < d.n && d.p[i + 2] == '[') return LinuxConsoleKey(d, i, mods);
    Sequence s = ParseSequence(d, i + 2);
    if (s.length == 0 && !d.atEnd) return kNeedMore;
    if (s.final) {
      (next == '[' ? CsiKey : Ss3Key)(d, s, mods);
      return s.length - i;
    }
    if (s.length > i + 2) return s.length - i;  // broken: skip it
  }
  if (next == kEsc) {
    // ESC ESC [ ... is Alt with a sequence (rxvt); else two Escapes.
    if (i + 2 >= d.n && !d.atEnd) return kNeedMore;
    bool sequence = i + 2 < d.n && (d.p[i + 2] == '[' || d.p[i + 2] == 'O');
    if (!sequence) {
      KeyWithChar(d.out, VK_ESCAPE, kEsc, mods);
      return 1;
    }
  }
  size_t inner = DecodeAt(d, i + 1, mods | ModAlt);
  return inner == kNeedMore ? kNeedMore : inner + 1;
}

size_t Utf8Char(const Decoder& d, size_t i, unsigned mods) {
  char32_t cp = 0;
  size_t len = DecodeUtf8(d.p + i, d.n - i, cp);
  if (len == kUtf8Incomplete && !d.atEnd) return kNeedMore;
  if (len == kUtf8Invalid || len == kUtf8Incomplete) {
    // Not UTF-8: take the byte as a Windows-1252 character.
    Printable(d.out, d.p[i], mods);
    return 1;
  }
  std::string c = Utf8ToCp1252(std::string(reinterpret_cast<const char*>(d.p + i), len));
  Printable(d.out, static_cast<unsigned char>(c[0]), mods);
  return len;
}

// Decodes one key at p[i]; returns its length, or kNeedMore.
size_t DecodeAt(const Decoder& d, size_t i, unsigned mods) {
  unsigned char b = d.p[i];
  if (b == kEsc) return EscapeSequence(d, i, mods);
  if (b < 32 || b == 127) {
    ControlByte(d, b, mods);
    return 1;
  }
  if (b < 128) {
    Printable(d.out, b, mods);
    return 1;
  }
  return Utf8Char(d, i, mods);
}

}  // namespace

size_t DecodeKeys(std::string_view bytes, bool atEnd, std::vector<Message>& out,
                  bool lineFeedIsEnter, unsigned char erase) {
  Decoder d{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), atEnd,
            lineFeedIsEnter, erase, out};
  size_t i = 0;
  while (i < d.n) {
    size_t used = DecodeAt(d, i, 0);
    if (used == kNeedMore) break;
    i += used;
  }
  return i;
}

bool CompleteAtEndOfRead(std::string_view rest) {
  return !rest.empty() && rest.find_first_not_of('\x1b') == std::string_view::npos;
}

void PostKeyEvents(const std::vector<Message>& events) {
  for (const Message& m : events) PostMessage(m);
}

}  // namespace platform
