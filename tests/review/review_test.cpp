// The review mode over a prepared screen: where the review cursor goes and
// what is heard. Ctrl+K (speak the position) shows where a command left it.
#include "review/review.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "console/snwin.h"
#include "speech/sncrt.h"
#include "tests/speech/editor_fakes.h"
#include "tests/speech/fakes.h"

using Heard = std::vector<std::string>;

namespace {

class ReviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetEditorWorld();
    ReviewSearchText.clear();
  }

  // Runs the mode from the console cursor at (column, row) until the keys
  // and a final Escape are used; what was heard between the entry and the
  // exit cues.
  static Heard Review(const std::string& keys, int column, int row) {
    TypeKeys(keys + "\x1b");
    MoveCursor(column, row);
    Fake.events.clear();
    ReviewMode();
    Heard heard = ShortSounds();
    EXPECT_GE(heard.size(), 3u);
    EXPECT_EQ(heard.front(), "buzz");
    EXPECT_EQ(Heard(heard.end() - 2, heard.end()), (Heard{"buzz", "buzz"}));
    EXPECT_EQ(Screen.column, column);  // the console cursor comes back
    EXPECT_EQ(Screen.row, row);
    return Heard(heard.begin() + 1, heard.end() - 2);
  }
  // What SpeakText makes of a text, to compare with what a command said.
  static Heard Said(const std::string& text) {
    Fake.events.clear();
    SpeakText(text);
    return ShortSounds();
  }
  // Ctrl+K speaks "row column".
  static Heard Position(int row, int column) {
    return Said(std::to_string(row) + " " + std::to_string(column));
  }
};

TEST_F(ReviewTest, BeginningCommandsAtTheStartBuzzAndReadNothing) {
  PutScreenText(1, 1, "texto");
  PutScreenText(1, 3, "linha");
  EXPECT_EQ(Review("il", 1, 3), Heard{"buzz"});
  EXPECT_EQ(Review("IT", 1, 1), Heard{"buzz"});
}

TEST_F(ReviewTest, LineReadingRestoresThePositionButScreenReadingEndsAtTheLastRow) {
  PutScreenText(1, 3, "ola mundo");
  PutScreenText(1, 25, "fim");
  Heard position = Position(3, 5);
  EXPECT_EQ(Review("tl\x0b", 5, 3), Join({{"say:ola", "say:mundo", "click"}, position}));

  Heard end = Position(25, 4);
  Heard heard = Review("tt\x0b", 5, 3);
  ASSERT_GE(heard.size(), end.size());
  EXPECT_EQ(Heard(heard.end() - end.size(), heard.end()), end);
  EXPECT_EQ(std::count(heard.begin(), heard.end(), "click"), 25);
}

TEST_F(ReviewTest, MovingOffTheScreenBuzzesAndStaysInRange) {
  PutScreenText(1, 1, "ab");
  Heard home = Position(1, 1);
  EXPECT_EQ(Review("{Left}\x0b", 1, 1), Join({{"buzz", "buzz"}, home}));

  EXPECT_EQ(Review("{Up}\x0b", 1, 1), Join({{"buzz"}, home}));

  EXPECT_EQ(Review("{Down}\x0b", 4, 25), Join({{"click", "buzz"}, Position(25, 1)}));

  EXPECT_EQ(Review("{Right*2}", 1, 1), (Heard{"a", "b"}));
}

TEST_F(ReviewTest, F1ReadsWordsRunsOfSignsAndSpellsConsonantWords) {
  PutScreenText(1, 2, "-----  pdf casa");
  Heard hyphens = Said("---");
  EXPECT_EQ(Review("{F1*3}", 1, 2), Join({hyphens, {"p", "d", "f", "say:casa"}}));
}

TEST_F(ReviewTest, AWordInTheLastColumnIsNotReadAndDoesNotStopTheLine) {
  PutScreenText(1, 1, "ab");
  PutScreenText(80, 1, "x");
  EXPECT_EQ(Review("{F1}\x0b", 79, 1), Join({{"click"}, Position(1, 81)}));
  EXPECT_EQ(Review("tl", 1, 1), (Heard{"say:ab", "click"}));
}

TEST_F(ReviewTest, WithAVoiceFromThePositionReadsTheRestOfTheRowThenWholeRows) {
  VoiceActive = true;
  VoiceKind = 5;
  PutScreenText(1, 24, "primeira linha");
  PutScreenText(1, 25, "segunda");
  Review("ft", 10, 24);
  Heard spoken;
  for (const std::string& call : Fake.voiceCalls)
    if (call.rfind("speak 5 ", 0) == 0) spoken.push_back(call.substr(8));
  ASSERT_EQ(spoken.size(), 2u);
  EXPECT_EQ(spoken[0].substr(0, 5), "linha");
  EXPECT_EQ(spoken[1].substr(0, 8), "segunda ");
}

TEST_F(ReviewTest, SearchFindsOnlyTextAfterThePositionAndDoesNotWrap) {
  PutScreenText(1, 2, "abc xyz abc");
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
  PutScreenText(1, 4, "Nome:", 7);
  PutScreenText(6, 4, " Maria Silva ", 0x1F);
  PutScreenText(19, 4, "Idade", 7);
  EXPECT_EQ(Review("{CtrlF1}\t\x0b", 9, 4),
            Join({{"say:Maria", "say:Silva", "click", "click"}, Position(4, 20)}));
  EXPECT_EQ(Review("ic", 9, 4), (Heard{"say:Maria", "click"}));
  EXPECT_EQ(Review("{ShiftTab}\x0b", 9, 4), Join({{"click"}, Position(4, 4)}));
}

TEST_F(ReviewTest, WrongCommandsGiveTheErrorCue) {
  Heard cue{"buzz", "click", "buzz"};
  EXPECT_EQ(Review("x", 1, 1), cue);
  EXPECT_EQ(Review("tz", 1, 1), cue);
  EXPECT_EQ(Review("\x01", 1, 1), cue);
}

TEST_F(ReviewTest, GoToRowAndColumnTakesFourDigits) {
  Heard ask = Said("Entre linha e coluna");
  EXPECT_EQ(Review("{F6}0512\x0b", 1, 1), Join({ask, {"0", "5", "1", "2"}, Position(5, 12)}));
  EXPECT_EQ(Review("{F6}05a\x0b", 3, 2), Join({ask, {"0", "5", "buzz", "buzz"}, Position(2, 3)}));
}

TEST_F(ReviewTest, WordMovesAndLettersOnTheScreen) {
  PutScreenText(3, 2, "um dois");
  PutScreenText(5, 20, "fim.");
  EXPECT_EQ(
      Review("{CtrlRight}\x0b{CtrlRight}\x0b{CtrlLeft}\x0b", 3, 2),
      Join({{"click"}, Position(2, 6), {"buzz"}, Position(2, 10), {"click"}, Position(2, 6)}));
  EXPECT_EQ(Review("{CtrlPgDn}\x0b{CtrlPgUp}\x0b", 1, 1), Join({{"say:fim", ".", "click"},
                                                                Position(20, 7),
                                                                {"say:um", "say:dois", "click"},
                                                                Position(2, 3)}));
}

TEST_F(ReviewTest, CtrlCCopiesTheWholeScreenSilently) {
  PutScreenText(1, 1, "topo");
  PutScreenText(80, 25, "z");
  EXPECT_EQ(Review("\x03", 1, 1), Heard{});
  ASSERT_EQ(Screen.clipboard.size(), 25u * 82);
  EXPECT_EQ(Screen.clipboard.substr(0, 6), "topo  ");
  EXPECT_EQ(Screen.clipboard.substr(25 * 82 - 3), "z\r\n");
}

}  // namespace

namespace {

TEST_F(ReviewTest, BrailleRoutingKeyMovesTheReviewCursorThere) {
  PutScreenText(1, 2, "Sonaris para Linux");
  Fake.routedColumn = 9;
  Fake.routedRow = 2;
  EXPECT_EQ(Review("{#" + std::to_string(BrailleRouteCode) + "}\x0b", 1, 5),
            Join({{"p"}, Position(2, 9)}));
}

}  // namespace
