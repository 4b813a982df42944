// The console's appearance and keyboard mode from the INI file's VIDEO and
// BRAILLE sections. A missing key gives its default; a key that is present
// but empty leaves the setting at its start value.
#include <algorithm>
#include <cctype>

#include "console/console_state.h"
#include "platform/os/ini.h"
#include "platform/os/text.h"

namespace console_detail {
namespace {

constexpr int ValueBuffer = 80;  // bytes, closing zero included

// A cell of 96 x 192 pixels already fills an 8K screen with 80 x 25
// characters; anything larger only makes the canvas enormous.
struct Range {
  long low, high;
};
constexpr Range CellWidth{4, 96}, CellHeight{8, 192}, FontWeight{0, 1000};

struct IniSource {
  const std::vector<std::string>& paths;
  // The value (or def when the key is missing); false when the key is
  // present but empty.
  bool Read(const char* section, const char* key, const char* def,
            std::string& value, int buffer = ValueBuffer) const {
    if (!platform::IniRead(paths, section, key, value, buffer)) value = def;
    return !value.empty();
  }
};

std::string Trim(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Entries up to the first that is not a number; later colours keep their
// map.
void ParseColourTable(std::string list) {
  list = Trim(list) + ",";
  for (int entry = 0; entry < 16; ++entry) {
    size_t comma = list.find(',');
    if (comma == std::string::npos) return;
    int32_t value = 0;
    if (!platform::ParseInteger(list.substr(0, comma), value)) return;
    ColourTable[entry] = static_cast<uint8_t>(value & 0xFF);
    list.erase(0, comma + 1);
  }
}

bool FirstLetterIsS(const std::string& value) {
  return std::toupper(static_cast<unsigned char>(value[0])) == 'S';
}

long IntegerOr(const std::string& value, long fallback) {
  int32_t number = 0;
  return platform::ParseInteger(value, number) ? number : fallback;
}

// A font size given in pixels, else scaled from a 1024 x 734 desktop that
// suits 13 x 28 pixel cells.
int FontSize(const IniSource& ini, const char* key, int workSize, int base,
             int cell, Range range) {
  std::string value;
  long computed = std::min(static_cast<long>(workSize / static_cast<double>(base) * cell),
                           range.high);
  if (!ini.Read("VIDEO", key, "", value)) return static_cast<int>(computed);
  int32_t given = 0;
  if (!platform::ParseInteger(value, given)) return static_cast<int>(computed);
  return static_cast<int>(std::clamp<long>(given, range.low, range.high));
}

void ReadColours(const IniSource& ini, VideoSettings& out) {
  std::string value;
  if (ini.Read("VIDEO", "TABCORES", "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15",
               value))
    ParseColourTable(value);
  if (ini.Read("VIDEO", "CORESFIXAS", "N", value))
    out.fixedColours = FirstLetterIsS(value);
  if (ini.Read("VIDEO", "LENTO", "N", value))
    out.blitScroll = FirstLetterIsS(value);
  long background = 0, foreground = 7;
  if (ini.Read("VIDEO", "CORFUNDO", "0", value))
    background = IntegerOr(value, background);
  if (ini.Read("VIDEO", "CORLETRA", "15", value))
    foreground = IntegerOr(value, foreground);
  TextAttribute = static_cast<uint8_t>(((background << 4) | foreground) & 0xFF);
}

}  // namespace

void LoadVideoSettings(const std::vector<std::string>& iniFiles, int workWidth,
                       int workHeight, VideoSettings& out) {
  IniSource ini{iniFiles};
  out = VideoSettings{};
  ReadColours(ini, out);
  std::string value;
  BrailleMode = 0;
  if (ini.Read("BRAILLE", "MODO", "0", value))
    BrailleMode = static_cast<unsigned char>(value[0]) & 3;
  if (ini.Read("VIDEO", "AMPLIF", "2", value, 2))
    out.zoom = static_cast<unsigned char>(value[0]) & 7;
  if (ini.Read("VIDEO", "FONTE", "Lucida Console", value))
    out.fontFace = value;
  out.fontWidth = FontSize(ini, "LARGURALETRA", workWidth, 1024, 13, CellWidth);
  out.fontHeight = FontSize(ini, "ALTURALETRA", workHeight, 734, 28, CellHeight);
  // The weight applies only when the user asks for one; without it the
  // face keeps its own (regular) weight.
  if (ini.Read("VIDEO", "PESOLETRA", "", value))
    out.fontWeight =
        static_cast<int>(std::clamp(IntegerOr(value, 0), FontWeight.low, FontWeight.high));
  // "Canto da tela": S keeps the window in its corner, anything else
  // maximises it, decided by the first letter like the other yes/no keys.
  if (ini.Read("VIDEO", "CANTOTELA", "SIM", value))
    out.maximised = !FirstLetterIsS(value);
}

}  // namespace console_detail
