// The console on a Braille display: the line last written on or moved to
// (so the line just spoken stays up after its line end), with the cursor
// when it is there, shown each time the program looks for messages; the
// display's keys become keys of the queue.
#include <algorithm>
#include <string>

#include "console/console_state.h"
#include "platform/braille/braille.h"

namespace console_detail {
namespace {

constexpr uint8_t CodeUp = 72, CodeDown = 80;

// Only the program's own screen goes to the display; the tools that speak
// without showing anything leave it to BRLTTY.
bool ShowsScreen(const platform::Display& display) {
  std::string name = display.Name();
  return name == "window" || name == "terminal";
}

}  // namespace

void StartBrailleLine(ConsoleState& s) {
  s.braille = ShowsScreen(*s.display);
  if (s.braille) platform::BrailleStart();
}

void StopBrailleLine(ConsoleState& s) {
  if (s.braille) platform::BrailleStop();
  s.braille = false;
}

void ShowBrailleLine(ConsoleState& s) {
  int row = std::clamp(s.brailleRow, 0, ScreenRows - 1);
  int cursor = s.winTop + s.curY == row ? std::min(s.winLeft + s.curX, ScreenColumns - 1) : -1;
  platform::BrailleShowLine(s.chars + row * ScreenColumns, ScreenColumns, row, cursor);
}

void HandleBrailleMessage(const platform::Message& m) {
  ConsoleState& s = State();
  platform::BrailleCommand command = platform::BrailleHandle(m);
  if (!command.key) return;
  // Every display key silences the sound at once, as a key does.
  if (KeyArrivingHook) KeyArrivingHook();
  s.keyMods = 0;
  switch (command.kind) {
    case platform::BrailleCommand::Route:
      s.routedColumn = command.column;
      s.routedRow = command.row;
      QueuePair(BrailleRouteCode);
      break;
    case platform::BrailleCommand::LineUp:
      QueuePair(CodeUp);
      break;
    case platform::BrailleCommand::LineDown:
      QueuePair(CodeDown);
      break;
    case platform::BrailleCommand::None:
      s.silence = true;
      break;
  }
}

}  // namespace console_detail

void RoutedCell(int& column, int& row) {
  const console_detail::ConsoleState& s = console_detail::State();
  column = s.routedColumn + 1;
  row = s.routedRow + 1;
}
