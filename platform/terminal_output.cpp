// Terminal output: colours, changed cells, clipboard sequence.
#include "platform/terminal_output.h"

#include "platform/text.h"

namespace platform {
namespace {

// The usual xterm values of the 16 ANSI colours.
constexpr Rgb kAnsi[16] = {
    {0, 0, 0},       {205, 0, 0},     {0, 205, 0},   {205, 205, 0},
    {0, 0, 238},     {205, 0, 205},   {0, 205, 205}, {229, 229, 229},
    {127, 127, 127}, {255, 0, 0},     {0, 255, 0},   {255, 255, 0},
    {92, 92, 255},   {255, 0, 255},   {0, 255, 255}, {255, 255, 255}};

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

int NearestAnsiColour(Rgb c) {
  int best = 0, bestDistance = 1 << 30;
  for (int i = 0; i < 16; ++i) {
    int d = Square(c.r - kAnsi[i].r) + Square(c.g - kAnsi[i].g) + Square(c.b - kAnsi[i].b);
    if (d < bestDistance) best = i, bestDistance = d;
  }
  return best;
}

std::string ColourSequence(Rgb fg, Rgb bg, bool trueColour) {
  if (trueColour) {
    auto rgb = [](Rgb c) {
      return std::to_string(c.r) + ";" + std::to_string(c.g) + ";" + std::to_string(c.b);
    };
    return "\x1b[38;2;" + rgb(fg) + ";48;2;" + rgb(bg) + "m";
  }
  int f = NearestAnsiColour(fg), b = NearestAnsiColour(bg);
  int fgCode = f < 8 ? 30 + f : 90 + f - 8;
  int bgCode = b < 8 ? 40 + b : 100 + b - 8;
  return "\x1b[" + std::to_string(fgCode) + ";" + std::to_string(bgCode) + "m";
}

void RenderChanges(const std::vector<TerminalCell>& cells,
                   std::vector<TerminalCell>& shadow, int columns,
                   bool trueColour, std::string& out) {
  if (columns <= 0 || shadow.size() != cells.size()) return;
  size_t expected = cells.size();  // where the terminal cursor stands; unknown
  bool haveColour = false;
  Rgb fg, bg;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (cells[i] == shadow[i]) continue;
    if (i != expected) AppendCursorMove(out, static_cast<int>(i % columns),
                                        static_cast<int>(i / columns));
    if (!haveColour || !(cells[i].fg == fg) || !(cells[i].bg == bg)) {
      out += ColourSequence(cells[i].fg, cells[i].bg, trueColour);
      fg = cells[i].fg, bg = cells[i].bg, haveColour = true;
    }
    out += Shown(cells[i].ch);
    shadow[i] = cells[i];
    // After the last column the terminal's cursor waits to wrap: move it.
    expected = (i + 1) % columns == 0 ? cells.size() : i + 1;
  }
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
