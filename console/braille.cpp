// Six-key Braille entry: F D S J K L are dots 1-6 and Space is the seventh
// key; a chord is translated when its last key is released.
#include "console/console_state.h"
#include "platform/os/keys.h"

namespace console_detail {
namespace {

using namespace platform;

constexpr unsigned SpaceBit = 64;
constexpr uint8_t NoCharacter = 254;
constexpr uint8_t CapitalSign = 123;
constexpr uint8_t NumberSign = 35;

struct BrailleKey {
  unsigned vk, bit;
};

constexpr BrailleKey BrailleKeys[] = {
    {VK_A + 'F' - 'A', 1},  {VK_A + 'D' - 'A', 2},  {VK_A + 'S' - 'A', 4},
    {VK_A + 'J' - 'A', 8},  {VK_A + 'K' - 'A', 16}, {VK_A + 'L' - 'A', 32},
    {VK_SPACE, SpaceBit}};

// Character of each dot pattern (bit 0 = dot 1 ... bit 5 = dot 6).
constexpr uint8_t BrailleTable[64] = {
    32,  97,  44,  98,  39,  107, 59,  108, 94,  99,  105, 102, 237,
    109, 115, 112, 126, 101, 58,  104, 42,  111, 33,  114, 172, 100,
    106, 103, 227, 110, 116, 113, 253, 226, 63,  234, 45,  117, 34,
    118, 123, 238, 245, 224, 243, 120, 232, 231, 36,  251, 255, 252,
    125, 122, 61,  225, 95,  244, 119, 239, 35,  121, 250, 233};

// Number mode turns the letters a-j into digits; tilde ends it.
uint8_t NumberRule(ConsoleState& s, uint8_t ch) {
  if (ch == 39) return '.';
  if (ch >= 'a' && ch <= 'i') return static_cast<uint8_t>('1' + ch - 'a');
  if (ch == 'j') return '0';
  if (ch == 126) s.numberMode = false;
  return ch;
}

uint8_t TextRules(ConsoleState& s, uint8_t ch) {
  if (s.numberMode) ch = NumberRule(s, ch);
  if ((s.capitalNext || s.capitalLock) && ch >= 'a' && ch <= 'z')
    ch = static_cast<uint8_t>(ch - 32);
  if (ch == NumberSign) {
    s.numberMode = true;
    return NoCharacter;
  }
  if (ch == CapitalSign) {
    if (s.capitalNext) s.capitalLock = true;
    s.capitalNext = true;
    return NoCharacter;
  }
  s.capitalNext = false;
  return ch;
}

uint8_t TranslateChord(ConsoleState& s) {
  if (s.chord < SpaceBit) {
    uint8_t ch = BrailleTable[s.chord];
    return BrailleMode == 2 ? TextRules(s, ch) : ch;
  }
  ClearBrailleTextStates();
  if (s.chord == SpaceBit) return ' ';
  return BrailleTable[s.chord - SpaceBit] & 31;
}

}  // namespace

bool IsBrailleKey(unsigned vk, unsigned& bit) {
  for (const BrailleKey& key : BrailleKeys) {
    if (key.vk == vk) {
      bit = key.bit;
      return true;
    }
  }
  return false;
}

void ClearBrailleTextStates() {
  ConsoleState& s = State();
  s.capitalNext = s.capitalLock = s.numberMode = false;
}

void ReleaseBrailleKey(unsigned vk) {
  ConsoleState& s = State();
  unsigned bit = 0;
  if (IsBrailleKey(vk, bit)) s.held &= ~bit;
  if (s.held != 0) return;
  uint8_t ch = TranslateChord(s);
  if (ch != NoCharacter && s.queued <= KeyQueueSize - 1) QueueKey(ch);
  s.chord = 0;
}

}  // namespace console_detail

using namespace console_detail;

// Modes above 2 select mode 1, so the switch key cycles 0, 1, 2, 1, 2...
// Each change is confirmed by tones: one low tone for off, two for on.
// A terminal (showing the screen or only giving keys) reports no key
// releases, so chords could never end there and letters would be lost: it
// keeps Braille entry off.
void SetBrailleMode(int mode) {
  OpenConsole();
  ConsoleState& s = State();
  if (mode > 2) mode = 1;
  const std::string display = s.display->Name();
  if (mode < 0 || display == "terminal" || display == "keys") mode = 0;
  auto sound = [](uint16_t frequency) {
    PlayTone(frequency);
    Delay(200);
    StopTone();
  };
  if (mode == 0) {
    s.chord = s.held = 0;
    ClearBrailleTextStates();
    if (BrailleMode != 0) sound(100);
  } else {
    sound(800);
    sound(mode == 1 ? 1600 : 400);
  }
  BrailleMode = mode;
}
