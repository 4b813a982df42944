// Terminal output: colours, changed cells, clipboard sequence.
#include "platform/display/src/terminal_output.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "platform/os/text.h"

namespace platform {
namespace {

// The usual xterm values of the 16 ANSI colours.
constexpr Rgb kAnsi[16] = {
    {0, 0, 0},       {205, 0, 0},     {0, 205, 0},   {205, 205, 0},
    {0, 0, 238},     {205, 0, 205},   {0, 205, 205}, {229, 229, 229},
    {127, 127, 127}, {255, 0, 0},     {0, 255, 0},   {255, 255, 0},
    {92, 92, 255},   {255, 0, 255},   {0, 255, 255}, {255, 255, 255}};

// The ANSI colour of each console colour: the console counts blue, green,
// red; ANSI red, green, blue.
constexpr int kAnsiOfConsole[16] = {0, 4, 2, 6, 1, 5, 3, 7, 8, 12, 10, 14, 9, 13, 11, 15};

// The six levels of each channel of the 256-colour cube.
constexpr int kCubeLevels[6] = {0, 95, 135, 175, 215, 255};

int Square(int v) { return v * v; }

void AppendCursorMove(std::string& out, int column, int row) {
  out += "\x1b[" + std::to_string(row + 1) + ";" + std::to_string(column + 1) + "H";
}

// Control codes never go to the terminal as they are.
std::string Shown(unsigned char c) {
  if (c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 ||
      c == 0x9D)
    return " ";
  return Cp1252CharToUtf8(c);
}

}  // namespace

ColourDepth TerminalColourDepth(const char* colorterm, const char* term) {
  std::string_view ct = colorterm ? colorterm : "", t = term ? term : "";
  if (ct == "truecolor" || ct == "24bit") return ColourDepth::True;
  if (t.find("256color") != std::string_view::npos) return ColourDepth::Palette256;
  return ColourDepth::Ansi16;
}

int AnsiColourOf(Rgb c) {
  for (int i = 0; i < 16; ++i)
    if (kConsolePalette[i] == c) return kAnsiOfConsole[i];
  int best = 0, bestDistance = 1 << 30;
  for (int i = 0; i < 16; ++i) {
    int d = Square(c.r - kAnsi[i].r) + Square(c.g - kAnsi[i].g) + Square(c.b - kAnsi[i].b);
    if (d < bestDistance) best = i, bestDistance = d;
  }
  return best;
}

int Palette256ColourOf(Rgb c) {
  auto level = [](int v) {
    int best = 0;
    for (int i = 1; i < 6; ++i)
      if (std::abs(v - kCubeLevels[i]) < std::abs(v - kCubeLevels[best])) best = i;
    return best;
  };
  int r = level(c.r), g = level(c.g), b = level(c.b);
  int cube = 16 + 36 * r + 6 * g + b;
  // Greys have a finer ramp (8, 18 ... 238); other colours keep their hue.
  if (c.r != c.g || c.g != c.b) return cube;
  int grey = std::clamp((c.r - 3) / 10, 0, 23);
  int cubeDistance = std::abs(c.r - kCubeLevels[r]), greyDistance = std::abs(c.r - (8 + 10 * grey));
  return greyDistance < cubeDistance ? 232 + grey : cube;
}

std::string ColourSequence(Rgb fg, Rgb bg, ColourDepth depth) {
  if (depth == ColourDepth::Palette256)
    return "\x1b[38;5;" + std::to_string(Palette256ColourOf(fg)) + ";48;5;" +
           std::to_string(Palette256ColourOf(bg)) + "m";
  if (depth == ColourDepth::True) {
    auto rgb = [](Rgb c) {
      return std::to_string(c.r) + ";" + std::to_string(c.g) + ";" + std::to_string(c.b);
    };
    return "\x1b[38;2;" + rgb(fg) + ";48;2;" + rgb(bg) + "m";
  }
  int f = AnsiColourOf(fg), b = AnsiColourOf(bg);
  int fgCode = f < 8 ? 30 + f : 90 + f - 8;
  int bgCode = b < 8 ? 40 + b : 100 + b - 8;
  return "\x1b[" + std::to_string(fgCode) + ";" + std::to_string(bgCode) + "m";
}

void RenderChanges(const std::vector<TerminalCell>& cells,
                   std::vector<TerminalCell>& shadow, int columns,
                   ColourDepth depth, std::string& out) {
  if (columns <= 0 || shadow.size() != cells.size()) return;
  size_t expected = cells.size();  // where the terminal cursor stands; unknown
  bool haveColour = false;
  Rgb fg, bg;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (cells[i] == shadow[i]) continue;
    if (i != expected) AppendCursorMove(out, static_cast<int>(i % columns),
                                        static_cast<int>(i / columns));
    if (!haveColour || !(cells[i].fg == fg) || !(cells[i].bg == bg)) {
      out += ColourSequence(cells[i].fg, cells[i].bg, depth);
      fg = cells[i].fg, bg = cells[i].bg, haveColour = true;
    }
    out += Shown(cells[i].ch);
    shadow[i] = cells[i];
    // After the last column the terminal's cursor waits to wrap: move it.
    expected = (i + 1) % columns == 0 ? cells.size() : i + 1;
  }
}

namespace {

// One axis of the view: its size and where it starts.
void ChooseSpan(int previousStart, int terminal, int screen, int cursor, int& start, int& size) {
  size = std::clamp(terminal, 1, screen);
  start = std::clamp(previousStart, cursor - size + 1, cursor);
  start = std::clamp(start, 0, screen - size);
}

}  // namespace

Viewport ChooseViewport(const Viewport& previous, int terminalColumns, int terminalRows,
                        int screenColumns, int screenRows, int column, int row) {
  Viewport v;
  ChooseSpan(previous.left, terminalColumns, screenColumns, column, v.left, v.columns);
  ChooseSpan(previous.top, terminalRows, screenRows, row, v.top, v.rows);
  return v;
}

std::vector<TerminalCell> CellsInView(const std::vector<TerminalCell>& cells, int columns,
                                      const Viewport& view) {
  std::vector<TerminalCell> out;
  out.reserve(static_cast<size_t>(view.columns * view.rows));
  for (int y = view.top; y < view.top + view.rows; ++y) {
    auto first = cells.begin() + (y * columns + view.left);
    out.insert(out.end(), first, first + view.columns);
  }
  return out;
}

std::string ClipboardSequence(const std::string& cp1252Text) {
  static const char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string utf8 = Cp1252ToUtf8(cp1252Text), out = "\x1b]52;c;";
  for (size_t i = 0; i < utf8.size(); i += 3) {
    unsigned v = static_cast<unsigned char>(utf8[i]) << 16;
    if (i + 1 < utf8.size()) v |= static_cast<unsigned char>(utf8[i + 1]) << 8;
    if (i + 2 < utf8.size()) v |= static_cast<unsigned char>(utf8[i + 2]);
    out += kDigits[(v >> 18) & 63];
    out += kDigits[(v >> 12) & 63];
    out += i + 1 < utf8.size() ? kDigits[(v >> 6) & 63] : '=';
    out += i + 2 < utf8.size() ? kDigits[v & 63] : '=';
  }
  return out + "\a";
}

}  // namespace platform
