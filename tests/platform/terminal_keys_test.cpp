// Terminal byte sequences become the key messages a Windows keyboard gives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/os/keys.h"
#include "platform/display/src/terminal_keys.h"

namespace platform {
namespace {

struct Ev {
  unsigned message;
  unsigned wParam;
  unsigned mods;
  bool operator==(const Ev&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Ev& e) {
  return os << "{" << std::hex << e.message << ", " << e.wParam << ", " << e.mods << "}";
}

std::vector<Ev> Decode(const std::string& bytes, bool lineFeedIsEnter = false,
                       unsigned char erase = 0) {
  std::vector<Message> out;
  EXPECT_EQ(DecodeKeys(bytes, true, out, lineFeedIsEnter, erase), bytes.size()) << bytes;
  std::vector<Ev> evs;
  for (const Message& m : out)
    evs.push_back({m.message, static_cast<unsigned>(m.wParam), m.mods});
  return evs;
}

constexpr unsigned S = ModShift, C = ModCtrl, A = ModAlt;
constexpr unsigned KD = WM_KEYDOWN, SKD = WM_SYSKEYDOWN, CH = WM_CHAR;

struct Case {
  const char* name;
  std::string bytes;
  std::vector<Ev> events;
  bool lineFeedIsEnter = false;  // read from a pipe
  unsigned char erase = 0;       // the terminal's erase character (0: unknown)
};

TEST(TerminalKeys, SequencesGiveWindowsKeyMessages) {
  const std::vector<Case> cases = {
      {"letter", "a", {{KD, 'A', 0}, {CH, 'a', 0}}},
      {"capital", "Q", {{KD, 'Q', S}, {CH, 'Q', S}}},
      {"punctuation", "/", {{KD, 0, 0}, {CH, '/', 0}}},
      {"space", " ", {{KD, VK_SPACE, 0}, {CH, ' ', 0}}},
      {"enter", "\r", {{KD, VK_RETURN, 0}, {CH, 13, 0}}},
      {"ctrl enter", "\n", {{KD, VK_RETURN, C}, {CH, 10, C}}},
      {"backspace del", "\x7f", {{KD, VK_BACK, 0}, {CH, 8, 0}}},
      {"backspace bs", "\x08", {{KD, VK_BACK, 0}, {CH, 8, 0}}},
      {"tab", "\t", {{KD, VK_TAB, 0}, {CH, 9, 0}}},
      {"shift tab", "\x1b[Z", {{KD, VK_TAB, S}, {CH, 9, S}}},
      {"escape", "\x1b", {{KD, VK_ESCAPE, 0}, {CH, 27, 0}}},
      {"ctrl c", "\x03", {{KD, 'C', C}, {CH, 3, C}}},
      {"ctrl break", "\x1c", {{KD, VK_CANCEL, C}}},
      {"up xterm", "\x1b[A", {{KD, VK_UP, 0}}},
      {"up application", "\x1bOA", {{KD, VK_UP, 0}}},
      {"ctrl left", "\x1b[1;5D", {{KD, VK_LEFT, C}}},
      {"alt right", "\x1b[1;3C", {{SKD, VK_RIGHT, A}}},
      {"home xterm", "\x1b[H", {{KD, VK_HOME, 0}}},
      {"insert", "\x1b[2~", {{KD, VK_INSERT, 0}}},
      {"ctrl insert", "\x1b[2;5~", {{KD, VK_INSERT, C}}},
      {"shift insert", "\x1b[2;2~", {{KD, VK_INSERT, S}}},
      {"ctrl insert rxvt", "\x1b[2^", {{KD, VK_INSERT, C}}},
      {"shift insert rxvt", "\x1b[2$", {{KD, VK_INSERT, S}}},
      {"delete", "\x1b[3~", {{KD, VK_DELETE, 0}}},
      {"f1 ss3", "\x1bOP", {{KD, VK_F1, 0}}},
      {"f4 ctrl xterm", "\x1b[1;5S", {{KD, VK_F4, C}}},
      {"f1 linux console", "\x1b[[A", {{KD, VK_F1, 0}}},
      {"f6", "\x1b[17~", {{KD, VK_F6, 0}}},
      {"f12", "\x1b[24~", {{KD, VK_F12, 0}}},
      {"shift arrow rxvt", "\x1b[a", {{KD, VK_UP, S}}},
      {"ctrl arrow rxvt", "\x1bOd", {{KD, VK_LEFT, C}}},
      {"alt letter", "\x1bx", {{SKD, 'X', A}}},
      {"alt capital", "\x1bX", {{SKD, 'X', A | S}}},
      {"ctrl alt letter", "\x1b\x01", {{KD, 'A', C | A}}},
      {"alt arrow rxvt", "\x1b\x1b[D", {{SKD, VK_LEFT, A}}},
      {"two escapes", "\x1b\x1b", {{KD, VK_ESCAPE, 0}, {CH, 27, 0}, {KD, VK_ESCAPE, 0}, {CH, 27, 0}}},
      {"keypad enter", "\x1bOM", {{KD, VK_RETURN, 0}, {CH, 13, 0}}},
      {"focus", "\x1b[I\x1b[O", {{WM_SETFOCUS, 0, 0}, {WM_KILLFOCUS, 0, 0}}},
      {"utf8 letter", "\xC3\xA7", {{KD, 0, 0}, {CH, 0xE7, 0}}},
      {"utf8 euro", "\xE2\x82\xAC", {{KD, 0, 0}, {CH, 0x80, 0}}},
      {"utf8 not in 1252", "\xE2\x88\x9E", {{KD, 0, 0}, {CH, '?', 0}}},
      {"latin1 byte", "\xE9", {{KD, 0, 0}, {CH, 0xE9, 0}}},
      {"unknown csi dropped", "\x1b[99~x", {{KD, 'X', 0}, {CH, 'x', 0}}},
      {"private csi dropped", "\x1b[?1;2c", {}},
      {"line feed from a pipe ends a line", "\n", {{KD, VK_RETURN, 0}, {CH, 13, 0}}, true},
      // The desktop keeps Ctrl+Alt+F-keys: Ctrl+Shift stands in for them.
      {"ctrl shift f9", "\x1b[20;6~", {{KD, VK_F9, C | A}}},
      {"ctrl shift f11", "\x1b[23;6~", {{KD, VK_F11, C | A}}},
      {"ctrl shift f12", "\x1b[24;6~", {{KD, VK_F12, C | A}}},
      {"ctrl shift f10 keeps its chord", "\x1b[21;6~", {{KD, VK_F10, C | S}}},
      // Where the terminal erases with 127, byte 8 can only be Ctrl+Backspace.
      {"del, erase 127", "\x7f", {{KD, VK_BACK, 0}, {CH, 8, 0}}, false, 127},
      {"bs, erase 127", "\x08", {{KD, VK_BACK, C}, {CH, 8, C}}, false, 127},
      {"bs, erase 8", "\x08", {{KD, VK_BACK, 0}, {CH, 8, 0}}, false, 8},
      {"del, erase 8", "\x7f", {{KD, VK_BACK, 0}, {CH, 8, 0}}, false, 8},
      {"alt bs, erase 127", "\x1b\x08", {{KD, VK_BACK, C | A}}, false, 127},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Decode(c.bytes, c.lineFeedIsEnter, c.erase), c.events) << c.name;
}

TEST(TerminalKeys, IncompleteInputWaitsForMoreBytes) {
  std::vector<Message> out;
  EXPECT_EQ(DecodeKeys("ab\x1b", false, out), 2u);
  EXPECT_EQ(DecodeKeys("\x1b[1;5", false, out), 0u);
  EXPECT_EQ(DecodeKeys("x\xC3", false, out), 1u);
  EXPECT_EQ(DecodeKeys("\x1b\x1b", false, out), 0u);
  out.clear();
  std::string all = "\x1b[2;5~";  // the rest of a sequence came later
  EXPECT_EQ(DecodeKeys(all, false, out), all.size());
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].wParam, VK_INSERT);
}

TEST(TerminalKeys, EscapesEndingAReadAreKeysAtOnce) {
  const struct {
    std::string rest;
    bool complete;
  } cases[] = {
      {"\x1b", true},   {"\x1b\x1b", true}, {"", false},
      {"\x1b[", false}, {"\x1bO", false},   {"\x1b[1;5", false},
      {"\xC3", false},
  };
  for (const auto& c : cases) EXPECT_EQ(CompleteAtEndOfRead(c.rest), c.complete) << c.rest;
}

TEST(TerminalKeys, GarbageNeverHangsOrOverruns) {
  std::string junk;
  for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 37 + 11) % 256);
  junk += "\x1b[" + std::string(100, '1');  // runaway parameter list
  std::vector<Message> out;
  EXPECT_EQ(DecodeKeys(junk, true, out), junk.size());
  EXPECT_LE(DecodeKeys(junk, false, out), junk.size());
}

}  // namespace
}  // namespace platform
