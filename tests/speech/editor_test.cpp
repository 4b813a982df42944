// The speaking line editor driven key by key: what the field holds, what
// the user hears, what the screen and the clipboard show.
#include <gtest/gtest.h>

#include <algorithm>

#include "console/snwin.h"
#include "platform/messages.h"
#include "speech/sncrt.h"
#include "tests/speech/editor_fakes.h"
#include "tests/speech/fakes.h"

using Heard = std::vector<std::string>;

namespace {

using platform::ModAlt;
using platform::ModShift;

constexpr unsigned char Enter = 13, Esc = 27;
enum Fn : unsigned char {
  F1 = 59, F12 = 70, Home = 71, Left = 75, Right = 77, End = 79, Del = 83,
  CtrlF4 = 97, CtrlF9 = 102, CtrlLeft = 115, CtrlRight = 116, ShiftIns = 254, CtrlIns = 255,
};

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetEditorWorld();
  }

  void Type(const std::string& text, unsigned mods = 0) {
    for (unsigned char c : text) Fake.typed.push_back({c, mods});
  }
  void Press(Fn code, unsigned mods = 0) {
    Fake.typed.push_back({0, mods});
    Fake.typed.push_back({code, mods});
  }
  void Press(Fn code, int times, unsigned mods) {
    for (int i = 0; i < times; ++i) Press(code, mods);
  }

  // Edits s in a field at row 5 until the keys run out (Enter is added).
  char Edit(std::string& s, int maxLen = 255, bool editable = true, int width = 78) {
    Type("\r");
    Fake.events.clear();
    char last = EditFieldSpoken(s, 1, 5, maxLen, width, editable);
    Fake.typed.clear();  // what an early end left unread
    return last;
  }

  static int Count(const Heard& heard, const std::string& what) {
    return static_cast<int>(std::count(heard.begin(), heard.end(), what));
  }
};

TEST_F(EditorTest, TypingInsertsEchoesAndBuzzesWhenTheFieldIsFull) {
  std::string s = "abcde";
  Type("x");
  Press(End);
  Type("y");
  EXPECT_EQ(Edit(s, 5), '\r');
  EXPECT_EQ(s, "xabcd");
  EXPECT_EQ(ShortSounds(), (Heard{"x", "buzz"}));
  EXPECT_EQ(LastEditColumn, 6);
}

TEST_F(EditorTest, FirstPrintableKeyReplacesAnOfferedValueButAnArrowKeepsIt) {
  SelectionOverwrite = true;
  std::string offered = "12/05/1990";
  Type("3");
  Edit(offered);
  EXPECT_EQ(offered, "3");
  EXPECT_EQ(ShortSounds(), (Heard{"click", "click", "3"}));

  std::string kept = "12/05/1990";
  Press(Right);
  Type("4");
  Edit(kept);
  EXPECT_EQ(kept, "142/05/1990");
  EXPECT_EQ(ShortSounds(), (Heard{"1", "4"}));
}

TEST_F(EditorTest, ShiftSelectionIsDeletedWithOneCue) {
  std::string s = "abcdef";
  Press(Right);
  Press(Right, 3, ModShift);
  Press(Del, ModShift);
  Edit(s);
  EXPECT_EQ(s, "aef");
  Heard heard = ShortSounds();
  Heard tail(heard.end() - 4, heard.end());
  EXPECT_EQ(tail, (Heard{"_DEL", "b", "c", "d"}));
  EXPECT_EQ(Count(heard, "_DEL"), 1);

  s = "abcdef";  // without Shift the selection is dropped first
  Press(Right);
  Press(Right, 3, ModShift);
  Press(Del);
  Edit(s);
  EXPECT_EQ(s, "abcdf");
}

TEST_F(EditorTest, PasteReplacesALeftwardSelectionWithTheClipboardsFirstLine) {
  Screen.clipboard = "XY\r\nsecond line";
  std::string s = "abcdef";
  Press(End);
  Press(Left, 2, ModShift);
  Type("\x16");  // Ctrl+V
  Edit(s);
  EXPECT_EQ(s, "abcdXY");
}

TEST_F(EditorTest, PasteIgnoresTheEditableFlagAndClearingCommandsRespectIt) {
  Screen.clipboard = "zz";
  std::string s = "abc";
  Type("\x19");  // Ctrl+Y blanks an editable field only
  Type("q");
  Press(ShiftIns);
  Edit(s, 255, false);
  EXPECT_EQ(s, "zzabc");
  EXPECT_EQ(ShortSounds(), Heard{});
}

TEST_F(EditorTest, CopyTakesTheTrimmedTextWithALineEndOrJustTheSelection) {
  std::string date = "12/05/1990";
  Press(CtrlIns);
  Edit(date);
  EXPECT_EQ(Screen.clipboard, "12/05/1990\r\n");

  Press(Right, 3, ModShift);
  Type("\x03");  // Ctrl+C keeps the selection
  Edit(date);
  EXPECT_EQ(Screen.clipboard, "12/");
}

TEST_F(EditorTest, EscapeInReadLineBlanksWhatWasTypedAndEndsTheLine) {
  PutScreenText(1, 3, "Data: ");
  MoveCursor(7, 3);
  Type("abc\x1b");
  std::string s = "old";
  ReadLineSpoken(s);
  EXPECT_EQ(s, "");
  EXPECT_EQ(ScreenRowText(3).substr(0, 10), "Data:     ");
  EXPECT_EQ(Fake.screen, "\n");

  MoveCursor(7, 4);
  Type("12\r");
  ReadLineSpoken(s);
  EXPECT_EQ(s, "12");
  EXPECT_EQ(ScreenRowText(4).substr(6, 3), "12 ");
}

TEST_F(EditorTest, CtrlF4AndADigitRestartSpeechAtThatSpeed) {
  std::string s;
  Press(CtrlF4);
  Type("5");
  Edit(s);
  EXPECT_EQ(TuningSet, 5);
  Heard heard = ShortSounds();
  ASSERT_GE(heard.size(), 2u);
  EXPECT_EQ(heard[0], "_VELOC");
  EXPECT_EQ(heard[1], "5");

  Press(CtrlF4);
  Type("\x1b");
  Edit(s);
  EXPECT_EQ(TuningSet, 5);
}

TEST_F(EditorTest, F1ReadsTheFieldWordByWord) {
  std::string s = "  dia 25 de";
  Press(F1);
  Edit(s);
  EXPECT_EQ(ShortSounds(), Heard{"say:dia"});
  EXPECT_EQ(LastEditColumn, 6);

  Press(F1, 2, 0);
  Edit(s);
  EXPECT_EQ(ShortSounds(), (Heard{"say:dia", "image:[_vinte][_e][_cinco]"}));
  EXPECT_EQ(LastEditColumn, 9);
}

TEST_F(EditorTest, F1SpellsConsonantWordsAndBuzzesAtTheEnd) {
  std::string s = "pds";
  Press(F1, 2, 0);
  Edit(s, 3);
  EXPECT_EQ(ShortSounds(), (Heard{"p", "d", "s", "buzz"}));
  EXPECT_EQ(LastEditColumn, 4);
}

TEST_F(EditorTest, WordMovesAndWordDeletion) {
  std::string s = "ab 12/x";
  Press(CtrlRight, 3, 0);
  Press(CtrlLeft);
  Edit(s, 10);
  EXPECT_EQ(ShortSounds(), (Heard{"click", "click", "buzz", "click"}));
  EXPECT_EQ(LastEditColumn, 7);

  Press(CtrlLeft);
  Edit(s, 10);
  EXPECT_EQ(ShortSounds(), Heard{"buzz"});
  EXPECT_EQ(LastEditColumn, 1);

  s = "abc def";  // Ctrl+Backspace: the word before the cursor
  Press(End);
  Type("\x7f");
  Edit(s, 20);
  EXPECT_EQ(s, "abc");
  EXPECT_EQ(Count(ShortSounds(), "_DEL"), 1);
}

TEST_F(EditorTest, LeftRightBackspaceAndTheirEdges) {
  std::string s = "ab";
  Press(Left);
  Press(Right, ModAlt);
  Press(Right);
  Type("\b");
  Edit(s, 3);
  EXPECT_EQ(s, "a");
  EXPECT_EQ(ShortSounds(), (Heard{"buzz", "_FON97", "b", "_DEL", "b"}));

  Press(Right, 4, 0);
  Type("\b\b\b");
  Edit(s, 3);
  EXPECT_EQ(s, "");
  EXPECT_EQ(ShortSounds(), (Heard{"a", " ", " ", "buzz", "_DEL", " ", "_DEL", " ", "_DEL", "a"}));
}

TEST_F(EditorTest, FunctionAndPrefixKeysEndTheEditorOrRunTheReviewMode) {
  std::string s;
  Press(CtrlF9, ModAlt);
  EXPECT_EQ(Edit(s), '\r');
  EXPECT_EQ(ShortSounds(), Heard{"review:"});

  Press(CtrlF9);
  EXPECT_EQ(static_cast<unsigned char>(Edit(s)), CtrlF9);
  Press(F1, ModAlt);
  EXPECT_EQ(Edit(s), 104);
  Press(Fn(15));
  EXPECT_EQ(Edit(s), 15);
  // Alt prefix keys type the next key, or end on a function key.
  Press(Fn(16));
  Type("a");
  EXPECT_EQ(Edit(s), '\r');
  EXPECT_EQ(s, "a");
  Press(Fn(17));
  Press(F1);
  EXPECT_EQ(Edit(s), 17);
}

TEST_F(EditorTest, F12OpensTheWordUnderTheCursorWithoutItsOpeningMarks) {
  std::string s = "ver (www.site.org. agora";
  Press(CtrlRight);
  Press(Right, 3, 0);
  Press(F12);
  Press(End);
  Press(F12);
  Edit(s);
  ASSERT_EQ(SpawnRuns.size(), 1u);
  EXPECT_EQ(SpawnRuns[0].rfind("xdg-open [www.site.org] in ", 0), 0u);
  EXPECT_EQ(ShortSounds().back(), "buzz");
}

TEST_F(EditorTest, SelectionIsDrawnOnItsOwnBackgroundAndTheFieldScrolls) {
  std::string s = "abcdef";
  Press(Right);
  Press(Right, 2, ModShift);
  Type("\xdf");  // 223 keeps the selection
  Edit(s);
  EXPECT_EQ(Screen.highlighted, (std::vector<std::string>{"b", "bc", "bc"}));
  EXPECT_EQ(TextAttribute, 7);

  std::string wide;
  Type("0123456789abc");
  Edit(wide, 100, true, 10);
  EXPECT_EQ(wide, "0123456789abc");
  EXPECT_EQ(Screen.column, 1);
  EXPECT_EQ(ScreenRowText(5).substr(0, 12), "0123456789  ");
}

}  // namespace
