// The window's libraries, SDL2, SDL2_ttf and fontconfig, opened when the
// window back end is chosen: a program on the terminal never loads them.
#pragma once
#include <SDL2/SDL.h>
#include <SDL2/SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <string>

#include "platform/os/library.h"

// Every function of theirs that the window calls.
#define SONARIS_WINDOW_SDL(F)                                                                  \
  F(SDL_CreateRGBSurfaceWithFormat) F(SDL_CreateWindow) F(SDL_DestroyWindow) F(SDL_FillRect)    \
  F(SDL_FreeSurface) F(SDL_GetClipRect) F(SDL_GetClipboardText) F(SDL_GetDisplayBounds)         \
  F(SDL_GetDisplayUsableBounds) F(SDL_GetError) F(SDL_GetModState) F(SDL_GetRGB)                \
  F(SDL_GetWindowDisplayIndex) F(SDL_GetWindowFlags) F(SDL_GetWindowSize)                       \
  F(SDL_GetWindowSurface) F(SDL_InitSubSystem) F(SDL_IntersectRect) F(SDL_LockSurface)          \
  F(SDL_MapRGB) F(SDL_PollEvent) F(SDL_PushEvent) F(SDL_Quit) F(SDL_QuitSubSystem)              \
  F(SDL_RegisterEvents) F(SDL_SetClipRect) F(SDL_SetClipboardText) F(SDL_SetHint)               \
  F(SDL_SetSurfaceBlendMode) F(SDL_SetSurfaceColorMod) F(SDL_SetWindowMaximumSize)              \
  F(SDL_SetWindowMinimumSize) F(SDL_SetWindowTitle) F(SDL_ShowWindow) F(SDL_StartTextInput)     \
  F(SDL_UnionRect) F(SDL_UnlockSurface) F(SDL_UpdateWindowSurface)                              \
  F(SDL_UpdateWindowSurfaceRects) F(SDL_UpperBlit) F(SDL_UpperBlitScaled) F(SDL_WaitEvent)      \
  F(SDL_WaitEventTimeout) F(SDL_WasInit) F(SDL_free)
#define SONARIS_WINDOW_TTF(F)                                                                  \
  F(TTF_CloseFont) F(TTF_FontAscent) F(TTF_FontFaceStyleName) F(TTF_FontHeight)                 \
  F(TTF_GlyphMetrics32) F(TTF_Init) F(TTF_OpenFontIndex) F(TTF_Quit) F(TTF_RenderUTF8_Blended)  \
  F(TTF_SetFontSize) F(TTF_SetFontStyle)
#define SONARIS_WINDOW_FONTCONFIG(F)                                                           \
  F(FcConfigDestroy) F(FcConfigSubstitute) F(FcDefaultSubstitute) F(FcFontMatch)                \
  F(FcInitLoadConfigAndFonts) F(FcPatternAddInteger) F(FcPatternAddString) F(FcPatternCreate)   \
  F(FcPatternDestroy) F(FcPatternGetInteger) F(FcPatternGetString) F(FcStrCmpIgnoreCase)

namespace platform::window {

struct Library {
  SONARIS_WINDOW_SDL(SONARIS_LIBRARY_POINTER)
  SONARIS_WINDOW_TTF(SONARIS_LIBRARY_POINTER)
  SONARIS_WINDOW_FONTCONFIG(SONARIS_LIBRARY_POINTER)
};
// Filled by OpenLibraries; nothing in it may be called before.
extern Library lib;

// Opens the three libraries once; false, with why (UTF-8), when one is
// missing. Safe to call again: the answer of the first call stays.
bool OpenLibraries(std::string& why);

}  // namespace platform::window
