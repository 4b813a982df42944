// The speaking line editor driven key by key: what the field holds, what
// the user hears, what the screen and the clipboard show.
#include <gtest/gtest.h>

#include <optional>

#include "console/snwin.h"
#include "platform/display/headless.h"
#include "speech/sncrt.h"
#include "tests/platform/fake_braille.h"
#include "tests/speech/world.h"

namespace speech_test {
namespace {

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetWorld(); }

  // Edits s in a field at row 5 with the keys of the script and Enter.
  static char Edit(std::string& s, const std::string& keys, int maxLen = 255, bool editable = true,
                   int width = 78) {
    Type(keys + "\r");
    TakeHeard();
    char last = EditFieldSpoken(s, 1, 5, maxLen, width, editable);
    platform::HeadlessClearTyped();  // what an early end left unread
    return last;
  }
};

struct EditCase {
  std::string before, keys;
  int maxLen = 255;
  bool editable = true;
  std::string after;
  std::optional<Heard> heard;
  int column = 0;  // where the editor left the cursor; 0: not checked
  bool offered = false;  // the field holds a value offered for replacing
};

TEST_F(EditorTest, KeysChangeTheFieldAndAreHeard) {
  const EditCase cases[] = {
      // A full field takes no more: the key buzzes.
      {"abcde", "x{End}y", 5, true, "xabcd", Heard{"x", "buzz"}, 6},
      {"abcdef", "{Right}{S-Right*3}{S-Del}", 255, true, "aef",
       Heard{"a", "b", "c", "d", "_DEL", "b", "c", "d"}},
      {"abcdef", "{Right}{S-Right*3}{Del}", 255, true, "abcdf", {}},  // drops the selection first
      {"abcdef", "{End}{S-Left*2}\x16", 255, true, "abcdXY", {}},  // Ctrl+V over a leftward selection
      // Paste ignores the editable flag; Ctrl+Y (blank the field) respects it.
      {"abc", "\x19q{ShiftIns}", 255, false, "XYabc", Heard{}},
      {"  dia 25 de", "{F1}", 255, true, "  dia 25 de", Say("dia"), 6},
      {"  dia 25 de", "{F1*2}", 255, true, "  dia 25 de", Join({Say("dia"), {"[_vinte][_e][_cinco]"}}), 9},
      {"pds", "{F1*2}", 3, true, "pds", Heard{"p", "d", "s", "buzz"}, 4},
      {"ab 12/x", "{CtrlRight*3}{CtrlLeft}", 10, true, "ab 12/x",
       Heard{"click", "click", "buzz", "click"}, 7},
      {"ab 12/x", "{CtrlLeft}", 10, true, "ab 12/x", Heard{"buzz"}, 1},
      {"abc def", "{End}\x7f", 20, true, "abc", {}},  // Ctrl+Backspace takes the word
      {"ab", "{Left}{A-Right}{Right}\b", 3, true, "a", Heard{"buzz", "_FON97", "b", "_DEL", "b"}},
      {"a", "{Right*4}\b\b\b", 3, true, "",
       Heard{"a", " ", " ", "buzz", "_DEL", " ", "_DEL", " ", "_DEL", "a"}},
      // The first printable key replaces an offered value, but an arrow keeps it.
      {"12/05/1990", "3", 255, true, "3", Heard{"click", "click", "3"}, 0, true},
      {"12/05/1990", "{Right}4", 255, true, "142/05/1990", Heard{"1", "4"}, 0, true},
  };
  for (const EditCase& c : cases) {
    platform::SetHeadlessClipboard("XY\r\nsecond line");
    SelectionOverwrite = c.offered;
    std::string s = c.before;
    EXPECT_EQ(Edit(s, c.keys, c.maxLen, c.editable), '\r') << c.keys;
    EXPECT_EQ(s, c.after) << c.keys;
    if (c.heard) {
      EXPECT_EQ(TakeHeard(), *c.heard) << c.keys;
    }
    if (c.column) {
      EXPECT_EQ(LastEditColumn, c.column) << c.keys;
    }
  }
}

TEST_F(EditorTest, CopyTakesTheTrimmedTextWithALineEndOrJustTheSelection) {
  std::string date = "12/05/1990";
  Edit(date, "{CtrlIns}");
  EXPECT_EQ(platform::HeadlessClipboard(), "12/05/1990\r\n");
  Edit(date, "{S-Right*3}\x03");  // Ctrl+C keeps the selection
  EXPECT_EQ(platform::HeadlessClipboard(), "12/");
}

TEST_F(EditorTest, EscapeInReadLineBlanksWhatWasTypedAndEndsTheLine) {
  Put(1, 3, "Data: ");
  Type("abc\x1b");
  std::string s = "old";
  ReadLineSpoken(s);
  EXPECT_EQ(s, "");
  EXPECT_EQ(Row(3).substr(0, 10), "Data:     ");
  EXPECT_EQ(CursorColumn() * 100 + CursorRow(), 104);
  MoveCursor(7, 4);
  Type("12\r");
  ReadLineSpoken(s);
  EXPECT_EQ(s, "12");
  EXPECT_EQ(Row(4).substr(6, 3), "12 ");
}

TEST_F(EditorTest, CtrlF4AndADigitRestartSpeechAtThatSpeed) {
  std::string s;
  Edit(s, "{CtrlF4}5");
  EXPECT_EQ(TuningSet, 5);
  Heard heard = TakeHeard();
  ASSERT_GE(heard.size(), 2u);
  EXPECT_EQ(Heard(heard.begin(), heard.begin() + 2), (Heard{"_VELOC", "5"}));
  Edit(s, "{CtrlF4}\x1b");
  EXPECT_EQ(TuningSet, 5);
}

TEST_F(EditorTest, FunctionAndPrefixKeysEndTheEditorOrRunTheReviewMode) {
  std::string s;
  EXPECT_EQ(Edit(s, "{A-CtrlF9}"), '\r');
  EXPECT_EQ(TakeHeard(), Heard{}) << "no review mode installed";
  SetEditorReview([] { PlayWordFile("ajuda"); });
  EXPECT_EQ(Edit(s, "{A-CtrlF9}"), '\r');
  SetEditorReview(nullptr);
  EXPECT_EQ(TakeHeard(), Heard{"ajuda"});
  // {keys, the key that ended the editor}; Alt prefix keys (16, 17) type
  // the next key or end on a function key.
  const std::pair<std::string, int> ends[] = {
      {"{CtrlF9}", 102}, {"{A-F1}", 104}, {"{ShiftTab}", 15}, {"{AltQ}a", '\r'}, {"{AltW}{F1}", 17}};
  for (const auto& [keys, end] : ends)
    EXPECT_EQ(static_cast<unsigned char>(Edit(s, keys)), end) << keys;
  EXPECT_EQ(s, "a");
}

TEST_F(EditorTest, F12OpensTheWordUnderTheCursorWithoutItsOpeningMarks) {
  std::string s = "ver (www.site.org. agora";
  Edit(s, "{CtrlRight}{Right*3}{F12}{End}{F12}");
  ASSERT_EQ(Runs.size(), 1u);
  EXPECT_EQ(Runs[0].rfind("xdg-open [http://www.site.org] in ", 0), 0u);
  EXPECT_EQ(TakeHeard().back(), "buzz");
}

TEST_F(EditorTest, TheFieldScrollsWithinItsWidth) {
  std::string wide;
  Edit(wide, "0123456789abc", 100, true, 10);
  EXPECT_EQ(wide, "0123456789abc");
  EXPECT_EQ(CursorColumn(), 1);
  EXPECT_EQ(Row(5).substr(0, 12), "0123456789  ");
}

// A routing key of the Braille display (80 cells: the whole row).
TEST_F(EditorTest, BrailleRoutingKeyPutsTheCursorOnTheCharacterBelowIt) {
  braille_test::StartFake(80);
  const std::tuple<int, std::string, Heard> cases[] = {
      {3, "1005/1980", Heard{"0", "_DEL", "/"}},  // onto the second 0; Backspace takes the /
      // Past the field's width: refused, the cursor stays at the start.
      {78, "10/05/1980", Heard{"buzz", "buzz"}},
  };
  for (const auto& [cell, after, heard] : cases) {
    std::string s = "10/05/1980";
    platform::HeadlessTypeWhenWaiting(braille_test::BrailleMessage(platform::BRAILLE_ROUTE, cell));
    Edit(s, "\b");
    EXPECT_EQ(s, after) << cell;
    EXPECT_EQ(TakeHeard(), heard) << cell;
  }
  platform::BrailleStop();
}

}  // namespace
}  // namespace speech_test
