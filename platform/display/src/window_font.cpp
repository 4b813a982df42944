#include "platform/display/src/window_font.h"

#include <algorithm>
#include <cstring>

#include "platform/display/src/window_library.h"

namespace platform {
namespace {

constexpr int kMaxPoints = 400;
// Weights from this one up are drawn bold (the Windows scale: 700 is bold).
constexpr int kBoldWeight = 600;

bool IsMonospacedFamily(FcPattern* match, const std::string& family) {
  int spacing = 0;
  FcChar8* name = nullptr;
  if (window::lib.FcPatternGetInteger(match, FC_SPACING, 0, &spacing) != FcResultMatch ||
      spacing < FC_MONO)
    return false;
  if (family.empty()) return true;
  for (int i = 0; window::lib.FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
    if (window::lib.FcStrCmpIgnoreCase(name, reinterpret_cast<const FcChar8*>(family.c_str())) == 0)
      return true;
  return false;
}

// The file of the best match for family when it is a monospaced face of
// that family (any monospaced face for an empty family).
std::string MatchFile(FcConfig* config, const std::string& family, bool bold, int& index) {
  FcPattern* pattern = window::lib.FcPatternCreate();
  if (!family.empty())
    window::lib.FcPatternAddString(pattern, FC_FAMILY,
                                   reinterpret_cast<const FcChar8*>(family.c_str()));
  window::lib.FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
  window::lib.FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  window::lib.FcConfigSubstitute(config, pattern, FcMatchPattern);
  window::lib.FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = window::lib.FcFontMatch(config, pattern, &result);
  std::string file;
  FcChar8* path = nullptr;
  if (match && IsMonospacedFamily(match, family) &&
      window::lib.FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
    file = reinterpret_cast<const char*>(path);
    if (window::lib.FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
  }
  if (match) window::lib.FcPatternDestroy(match);
  window::lib.FcPatternDestroy(pattern);
  return file;
}

void Measure(TTF_Font* font, int& advance, int& height) {
  int minx, maxx, miny, maxy;
  advance = 0;
  window::lib.TTF_GlyphMetrics32(font, 'M', &minx, &maxx, &miny, &maxy, &advance);
  height = window::lib.TTF_FontHeight(font);
}

bool Fits(TTF_Font* font, int points, int width, int height) {
  int advance, h;
  if (window::lib.TTF_SetFontSize(font, points) != 0) return false;
  Measure(font, advance, h);
  return advance <= width && h <= height;
}

int LargestFittingSize(TTF_Font* font, int width, int height) {
  int lo = 1, hi = kMaxPoints;
  while (lo < hi) {
    int mid = (lo + hi + 1) / 2;
    if (Fits(font, mid, width, height)) lo = mid;
    else hi = mid - 1;
  }
  return lo;
}

}  // namespace

std::string FindMonospacedFont(const std::string& faceUtf8, bool bold,
                               int& faceIndex) {
  faceIndex = 0;
  // A configuration of our own, freed again: the font is looked up once
  // per window, and nothing of fontconfig stays behind.
  FcConfig* config = window::lib.FcInitLoadConfigAndFonts();
  if (!config) return {};
  std::string file;
  for (const std::string& family : {faceUtf8, std::string("DejaVu Sans Mono"), std::string()}) {
    file = MatchFile(config, family, bold, faceIndex);
    if (!file.empty()) break;
  }
  window::lib.FcConfigDestroy(config);
  return file;
}

bool OpenCellFont(const std::string& faceUtf8, int width, int height,
                  int weight, CellFont& out) {
  if (window::lib.TTF_Init() != 0) return false;
  bool bold = weight >= kBoldWeight;
  int index = 0;
  std::string file = FindMonospacedFont(faceUtf8, bold, index);
  TTF_Font* font = file.empty() ? nullptr : window::lib.TTF_OpenFontIndex(file.c_str(), 12, index);
  if (!font) {
    window::lib.TTF_Quit();
    return false;
  }
  // A family without a bold face is emboldened by the renderer.
  const char* style = window::lib.TTF_FontFaceStyleName(font);
  if (bold && (!style || !std::strstr(style, "Bold")))
    window::lib.TTF_SetFontStyle(font, TTF_STYLE_BOLD);
  window::lib.TTF_SetFontSize(font, LargestFittingSize(font, width, height));
  int advance, h;
  Measure(font, advance, h);
  out.font = font;
  out.cellWidth = std::max(width, advance);
  out.cellHeight = std::max(height, h);
  out.glyphX = (out.cellWidth - advance) / 2;
  out.glyphY = (out.cellHeight - h) / 2;
  out.ascent = out.glyphY + window::lib.TTF_FontAscent(font);
  return true;
}

void CloseCellFont(CellFont& font) {
  if (font.font) {
    window::lib.TTF_CloseFont(font.font);
    window::lib.TTF_Quit();
  }
  font = CellFont{};
}

}  // namespace platform
