// What the Braille display shows of the focused line (window, cursor,
// panning) and what its keys ask, against a fake display at the seam.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/braille/braille.h"
#include "tests/platform/fake_braille.h"

using namespace platform;

namespace {

using braille_test::FakeBraille;

FakeBraille* Start(int cells) { return braille_test::StartFake(cells); }

// 80 columns: "0123456789" eight times, so a window shows where it starts.
std::string Digits() {
  std::string line;
  while (line.size() < 80) line += "0123456789";
  return line;
}

void Line(int row, int cursor, const std::string& text = Digits()) {
  BrailleShowLine(reinterpret_cast<const unsigned char*>(text.data()),
                  static_cast<int>(text.size()), row, cursor);
}

BrailleCommand Key(BrailleEvent event, int cell = 0) {
  return BrailleHandle(braille_test::BrailleMessage(event, cell));
}

// A step: a line with its row and cursor column, a display key, or the
// display coming back with another width.
struct Step {
  enum Kind { Show, PanLeft, PanRight, Cells } kind;
  int row = 0, cursor = -1;
  const char* text = nullptr;
};
Step Show(int row, int cursor, const char* text = nullptr) { return {Step::Show, row, cursor, text}; }
const Step Left{Step::PanLeft}, Right{Step::PanRight};
Step Width(int cells) { return {Step::Cells, cells}; }

struct Case {
  const char* what;
  int cells;
  std::vector<Step> steps;
  int offset, cursorCell;  // the window's first column, the cursor's cell
};

const Case kCases[] = {
    {"cursor in the first window", 40, {Show(0, 2)}, 0, 2},
    {"cursor beyond the first window", 40, {Show(0, 56)}, 40, 16},
    {"last window kept full", 32, {Show(0, 79)}, 48, 31},
    {"cursor one past the edge shown on the last cell", 40, {Show(0, 80)}, 40, 39},
    {"no cursor on the line", 40, {Show(0, -1)}, 0, -1},
    {"panning right hides the cursor", 40, {Show(0, 2), Right}, 40, -1},
    {"panning right stops at the line's end", 40, {Show(0, 2), Right, Right}, 40, -1},
    {"panning left stops at the start", 40, {Show(0, 2), Left}, 0, 2},
    {"panning back to the cursor", 40, {Show(0, 56), Left, Right}, 40, 16},
    {"the pan stays while the cursor stays", 40, {Show(0, 2), Right, Show(0, 2, "0x")}, 40, -1},
    {"a moved cursor brings the window back", 40, {Show(0, 2), Right, Show(0, 3)}, 0, 3},
    {"a new row without the cursor starts at its start", 40, {Show(0, 56), Show(1, -1)}, 0, -1},
    {"a narrower display follows the cursor", 40, {Show(0, 56), Width(20)}, 40, 16},
    {"a wider display shows more", 20, {Show(0, 56), Width(80)}, 0, 56},
};

TEST(BrailleWindow, ShowsTheCursorsPart) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    FakeBraille* fake = Start(c.cells);
    std::string line = Digits();
    for (const Step& step : c.steps) {
      switch (step.kind) {
        case Step::Show:
          if (step.text) line = step.text + Digits().substr(2);
          Line(step.row, step.cursor, line);
          break;
        case Step::PanLeft:
        case Step::PanRight:
          EXPECT_TRUE(Key(step.kind == Step::PanLeft ? BRAILLE_PAN_LEFT : BRAILLE_PAN_RIGHT).key);
          break;
        case Step::Cells:
          fake->cells = step.row;
          EXPECT_FALSE(Key(BRAILLE_CHANGED).key);
          break;
      }
    }
    EXPECT_EQ(BrailleOffset(), c.offset);
    EXPECT_EQ(fake->cursor, c.cursorCell);
    std::string window = line.substr(c.offset, fake->cells);
    window.resize(fake->cells, ' ');
    EXPECT_EQ(fake->text, window);
    BrailleStop();
  }
}

TEST(BrailleKeys, RoutingLinesAndPanning) {
  Start(40);
  Line(3, 56);
  struct {
    BrailleEvent event;
    int cell;
    BrailleCommand::Kind kind;
    int column;
  } const keys[] = {
      {BRAILLE_ROUTE, 3, BrailleCommand::Route, 43},   // the window starts at 40
      {BRAILLE_ROUTE, 40, BrailleCommand::None, 0},    // no such cell
      {BRAILLE_LINE_UP, 0, BrailleCommand::LineUp, 0},
      {BRAILLE_LINE_DOWN, 0, BrailleCommand::LineDown, 0},
      {BRAILLE_PAN_LEFT, 0, BrailleCommand::None, 0},  // done by the display
  };
  for (const auto& k : keys) {
    BrailleCommand command = Key(k.event, k.cell);
    EXPECT_EQ(command.kind, k.kind) << k.event << " " << k.cell;
    EXPECT_TRUE(command.key);
    if (k.kind == BrailleCommand::Route) {
      EXPECT_EQ(command.column, k.column);
      EXPECT_EQ(command.row, 3);
    }
  }
  BrailleStop();
}

TEST(BrailleText, GoesAsUtf8OnceAndNothingWithoutADisplay) {
  FakeBraille* fake = Start(10);
  Line(0, 1, "a\xE7\xE3o");  // Windows-1252 "ação"
  EXPECT_EQ(fake->text, "a\xC3\xA7\xC3\xA3o      ");
  Line(0, 1, "a\xE7\xE3o");
  EXPECT_EQ(fake->shows, 1) << "an unchanged picture is sent again";
  Key(BRAILLE_CHANGED);
  EXPECT_EQ(fake->shows, 2) << "a display that came back is not given the picture";
  fake->cells = 0;
  Key(BRAILLE_CHANGED);
  Line(0, 2, "abc");
  EXPECT_EQ(fake->shows, 2) << "shown on a display that has gone";
  BrailleStop();
  Line(0, 3, "abc");  // no back end at all
}

}  // namespace
