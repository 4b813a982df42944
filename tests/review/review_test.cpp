// The review mode over a prepared screen: where the review cursor goes and
// what is heard. Ctrl+K (speak the position) shows where a command left it.
#include "review/review.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "console/snwin.h"
#include "speech/sncrt.h"
#include "platform/display/headless.h"
#include "tests/sapi/sapi_fakes.h"
#include "tests/speech/world.h"

namespace speech_test {
namespace {

class ReviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetWorld();
    ReviewSearchText.clear();
  }

  // Runs the mode from the console cursor at (column, row) until the keys
  // and a final Escape are used; what was heard between the entry and the
  // exit cues.
  static Heard Review(const std::string& keys, int column, int row) {
    Type(keys + "\x1b");
    MoveCursor(column, row);
    TakeHeard();
    ReviewMode();
    Heard heard = TakeHeard();
    EXPECT_GE(heard.size(), 3u);
    EXPECT_EQ(heard.front(), "buzz");
    EXPECT_EQ(Heard(heard.end() - 2, heard.end()), (Heard{"buzz", "buzz"}));
    EXPECT_EQ(CursorColumn() * 100 + CursorRow(), column * 100 + row);  // the cursor comes back
    return Heard(heard.begin() + 1, heard.end() - 2);
  }
  // What SpeakText makes of a text, to compare with what a command said.
  static Heard Said(const std::string& text) {
    TakeHeard();
    SpeakText(text);
    return TakeHeard();
  }
  // Ctrl+K speaks "row column".
  static Heard Position(int row, int column) {
    return Said(std::to_string(row) + " " + std::to_string(column));
  }
};

TEST_F(ReviewTest, BeginningCommandsAtTheStartBuzzAndReadNothing) {
  Put(1, 1, "texto");
  Put(1, 3, "linha");
  EXPECT_EQ(Review("il", 1, 3), Heard{"buzz"});
  EXPECT_EQ(Review("IT", 1, 1), Heard{"buzz"});
}

TEST_F(ReviewTest, LineReadingRestoresThePositionButScreenReadingEndsAtTheLastRow) {
  Put(1, 3, "ola mundo");
  Put(1, 25, "fim");
  Heard position = Position(3, 5);
  EXPECT_EQ(Review("tl\x0b", 5, 3), Join({Say("ola"), Say("mundo"), {"click"}, position}));

  Heard end = Position(25, 4);
  Heard heard = Review("tt\x0b", 5, 3);
  ASSERT_GE(heard.size(), end.size());
  EXPECT_EQ(Heard(heard.end() - end.size(), heard.end()), end);
  EXPECT_EQ(std::count(heard.begin(), heard.end(), "click"), 25);
}

TEST_F(ReviewTest, MovingOffTheScreenBuzzesAndStaysInRange) {
  Put(1, 1, "ab");
  Heard home = Position(1, 1);
  EXPECT_EQ(Review("{Left}\x0b", 1, 1), Join({{"buzz", "buzz"}, home}));

  EXPECT_EQ(Review("{Up}\x0b", 1, 1), Join({{"buzz"}, home}));

  EXPECT_EQ(Review("{Down}\x0b", 4, 25), Join({{"click", "buzz"}, Position(25, 1)}));

  EXPECT_EQ(Review("{Right*2}", 1, 1), (Heard{"a", "b"}));
}

TEST_F(ReviewTest, F1ReadsWordsRunsOfSignsAndSpellsConsonantWords) {
  Put(1, 2, "-----  pdf casa");
  Heard hyphens = Said("---");
  EXPECT_EQ(Review("{F1*3}", 1, 2), Join({hyphens, {"p", "d", "f"}, Say("casa")}));
}

TEST_F(ReviewTest, AWordInTheLastColumnIsNotReadAndDoesNotStopTheLine) {
  Put(1, 1, "ab");
  Put(80, 1, "x");
  EXPECT_EQ(Review("{F1}\x0b", 79, 1), Join({{"click"}, Position(1, 81)}));
  EXPECT_EQ(Review("tl", 1, 1), Join({Say("ab"), {"click"}}));
}

TEST_F(ReviewTest, WithAVoiceFromThePositionReadsTheRestOfTheRowThenWholeRows) {
  sapi_test::Log().Clear();
  platform::SetSpVoiceFactory([] { return std::make_unique<sapi_test::FakeVoice>(); });
  WriteFile("win/SONARIS.INI", "[TRADUTOR]\nSAPI=Sim\n[SERVFALA]\nTIPOSAPI=5\n");
  StartSpeech(3, "");
  Put(1, 24, "primeira linha");
  Put(1, 25, "segunda");
  sapi_test::Log().calls.clear();
  Review("ft", 10, 24);
  platform::SetSpVoiceFactory(nullptr);
  Heard spoken;
  for (const std::string& call : sapi_test::Log().calls)
    if (call.rfind("speak ", 0) == 0) spoken.push_back(call.substr(call.find('[') + 1));
  ASSERT_EQ(spoken.size(), 2u);
  EXPECT_EQ(spoken[0].substr(0, 5), "linha");
  EXPECT_EQ(spoken[1].substr(0, 8), "segunda ");
}

TEST_F(ReviewTest, SearchFindsOnlyTextAfterThePositionAndDoesNotWrap) {
  Put(1, 2, "abc xyz abc");
  EXPECT_EQ(Review("{F5}xyz\r", 6, 2), Join({Said("Qual texto"), {"x", "y", "z", "buzz", "buzz"}}));

  Heard found = Position(2, 9);
  Heard expected = Join({Said("Qual texto"),
                         {"a", "b", "d", "_DEL", "d", "_DEL", "b", "b", "c", "click"},
                         found,
                         {"buzz", "buzz"}});
  EXPECT_EQ(Review("{F5}abd\b\bbc\r\x0b{CtrlF5}", 1, 2), expected);
  EXPECT_EQ(ReviewSearchText, "abc");
}

TEST_F(ReviewTest, FieldsAreRunsOfOneColourBetweenSeparators) {
  Put(1, 4, "Nome:", 7);
  Put(6, 4, " Maria Silva ", 0x1F);
  Put(19, 4, "Idade", 7);
  EXPECT_EQ(Review("{CtrlF1}\t\x0b", 9, 4),
            Join({Say("Maria"), Say("Silva"), {"click", "click"}, Position(4, 20)}));
  EXPECT_EQ(Review("ic", 9, 4), Join({Say("Maria"), {"click"}}));
  EXPECT_EQ(Review("{ShiftTab}\x0b", 9, 4), Join({{"click"}, Position(4, 4)}));
}

TEST_F(ReviewTest, WrongCommandsGiveTheErrorCue) {
  for (const char* keys : {"x", "tz", "\x01"}) EXPECT_EQ(Review(keys, 1, 1), (Heard{"buzz", "click", "buzz"})) << keys;
}

TEST_F(ReviewTest, GoToRowAndColumnTakesFourDigits) {
  Heard ask = Said("Entre linha e coluna");
  EXPECT_EQ(Review("{F6}0512\x0b", 1, 1), Join({ask, {"0", "5", "1", "2"}, Position(5, 12)}));
  EXPECT_EQ(Review("{F6}05a\x0b", 3, 2), Join({ask, {"0", "5", "buzz", "buzz"}, Position(2, 3)}));
}

TEST_F(ReviewTest, WordMovesAndLettersOnTheScreen) {
  Put(3, 2, "um dois");
  Put(5, 20, "fim.");
  EXPECT_EQ(
      Review("{CtrlRight}\x0b{CtrlRight}\x0b{CtrlLeft}\x0b", 3, 2),
      Join({{"click"}, Position(2, 6), {"buzz"}, Position(2, 10), {"click"}, Position(2, 6)}));
  EXPECT_EQ(Review("{CtrlPgDn}\x0b{CtrlPgUp}\x0b", 1, 1), Join({Say("fim"), {".", "pause:250", "click"},
                                                                Position(20, 7),
                                                                Say("um"), Say("dois"), {"click"},
                                                                Position(2, 3)}));
}

TEST_F(ReviewTest, CtrlCCopiesTheWholeScreenSilently) {
  Put(1, 1, "topo");
  Put(80, 25, "z");
  EXPECT_EQ(Review("\x03", 1, 1), Heard{});
  const std::string copied = platform::HeadlessClipboard();
  ASSERT_EQ(copied.size(), 25u * 82);
  EXPECT_EQ(copied.substr(0, 6), "topo  ");
  EXPECT_EQ(copied.substr(25 * 82 - 3), "z\r\n");
}

}  // namespace
}  // namespace speech_test
