// The console font of the window: a monospaced face found through
// fontconfig, opened with SDL2_ttf at the size whose glyphs fit the cell.
#pragma once
#include <SDL2/SDL_ttf.h>

#include <string>

namespace platform {

struct CellFont {
  TTF_Font* font = nullptr;
  int cellWidth = 0, cellHeight = 0;
  int glyphX = 0, glyphY = 0;  // where the glyph box sits inside its cell
  int ascent = 0;              // baseline, from the cell's top
};

// File of the monospaced face named faceUtf8, else of DejaVu Sans Mono,
// else of any monospaced face; empty when fontconfig knows none.
std::string FindMonospacedFont(const std::string& faceUtf8, bool bold,
                               int& faceIndex);
// The largest point size whose advance and height fit width x height
// (at least 1); the cell is the requested size, or the glyph's when a
// request is too small for any size.
bool OpenCellFont(const std::string& faceUtf8, int width, int height,
                  int weight, CellFont& out);
void CloseCellFont(CellFont& font);

}  // namespace platform
