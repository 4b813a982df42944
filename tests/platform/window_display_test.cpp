// The window's picture and its window, on SDL's off-screen video driver:
// cells, scrolling, caret, magnifier, font fitting, waking and clipboard.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "platform/display/display.h"
#include "platform/display/src/window_canvas.h"
#include "platform/display/window_display.h"
#include "platform/display/src/window_font.h"
#include "platform/display/src/window_library.h"

using namespace platform;

namespace {

constexpr Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kBlue{0, 0, 255},
    kRed{255, 0, 0}, kGrey{192, 192, 192};

Rgb PixelOf(SDL_Surface* s, int x, int y) {
  Rgb c;
  Uint32 p = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch)[x];
  SDL_GetRGB(p, s->format, &c.r, &c.g, &c.b);
  return c;
}

// How many pixels of a cell have exactly this colour.
int CountInCell(SDL_Surface* s, const CellFont& f, int column, int row, Rgb c) {
  int n = 0;
  for (int y = 0; y < f.cellHeight; ++y)
    for (int x = 0; x < f.cellWidth; ++x)
      n += PixelOf(s, column * f.cellWidth + x, row * f.cellHeight + y) == c;
  return n;
}

// The font and the canvas are used here without a window, which is what
// opens their libraries.
void OpenWindowLibraries() {
  std::string why;
  ASSERT_TRUE(window::OpenLibraries(why)) << why;
}

class WindowCanvas : public ::testing::Test {
 protected:
  void SetUp() override {
    OpenWindowLibraries();
    ASSERT_TRUE(OpenCellFont("DejaVu Sans Mono", 10, 20, 0, font));
    ASSERT_TRUE(CanvasCreate(canvas, font, 8, 4));
    target = SDL_CreateRGBSurfaceWithFormat(0, 8 * 10 + 30, 4 * 20 + 10, 32,
                                            SDL_PIXELFORMAT_RGB888);
  }
  void TearDown() override {
    SDL_FreeSurface(target);
    CanvasDestroy(canvas);
    CloseCellFont(font);
  }
  void Draw(int column, int row, const char* text, Rgb fg, Rgb bg) {
    CanvasDrawText(canvas, column, row, reinterpret_cast<const unsigned char*>(text),
                   int(strlen(text)), fg, bg);
  }
  int Cells(int column, int row, Rgb c) { return CountInCell(canvas.cells, font, column, row, c); }
  const int area = 10 * 20;

  CellFont font;
  Canvas canvas;
  SDL_Surface* target = nullptr;
};

}  // namespace

TEST(WindowFont, GlyphsFitTheRequestedCellAndUnknownFacesFallBack) {
  OpenWindowLibraries();
  for (const char* face : {"DejaVu Sans Mono", "No Such Face At All"}) {
    CellFont f;
    ASSERT_TRUE(OpenCellFont(face, 13, 28, 0, f)) << face;
    EXPECT_EQ(f.cellWidth, 13);
    EXPECT_EQ(f.cellHeight, 28);
    int minx, maxx, miny, maxy, advance;
    TTF_GlyphMetrics32(f.font, 'M', &minx, &maxx, &miny, &maxy, &advance);
    EXPECT_LE(advance, 13);
    EXPECT_GE(advance, 10);  // the largest size that fits, not a tiny one
    EXPECT_LE(TTF_FontHeight(f.font), 28);
    EXPECT_TRUE(TTF_FontFaceIsFixedWidth(f.font)) << face;
    CloseCellFont(f);
  }
  CellFont tiny;
  ASSERT_TRUE(OpenCellFont("DejaVu Sans Mono", 1, 1, 700, tiny));
  EXPECT_GE(tiny.cellWidth, 1);
  EXPECT_GE(tiny.cellHeight, TTF_FontHeight(tiny.font));  // glyphs never overlap
  CloseCellFont(tiny);
}

TEST_F(WindowCanvas, RunsPaintOpaqueBackgroundsAndGlyphsInTheirColours) {
  Draw(1, 1, "M M", kWhite, kBlue);
  EXPECT_GT(Cells(1, 1, kWhite), 10);
  EXPECT_GT(Cells(1, 1, kBlue), area / 3);
  EXPECT_EQ(Cells(2, 1, kBlue), area);       // a blank is all background
  EXPECT_EQ(Cells(4, 1, kBlack), area);      // neighbours untouched
  // Redrawing a cell replaces the old glyph entirely.
  Draw(1, 1, " ", kWhite, kRed);
  EXPECT_EQ(Cells(1, 1, kRed), area);
  // Runs past the right edge or outside the grid are cut, not written.
  Draw(6, 3, "abcdef", kWhite, kBlue);
  Draw(0, -1, "x", kWhite, kBlue);
  EXPECT_LT(Cells(7, 3, kBlue), area);  // "b" in the last column
  EXPECT_EQ(Cells(0, 0, kBlack), area);
}

TEST_F(WindowCanvas, ScrollingMovesPixelsUpAndFillsTheBottomRow) {
  Draw(0, 1, "A", kWhite, kBlue);
  Draw(3, 3, "B", kWhite, kGrey);
  CanvasScrollUp(canvas, kRed);
  EXPECT_GT(Cells(0, 0, kBlue), 0);
  EXPECT_GT(Cells(3, 2, kGrey), 0);
  for (int c = 0; c < 8; ++c) EXPECT_EQ(Cells(c, 3, kRed), area) << c;
}

TEST_F(WindowCanvas, ComposeKeepsTheGridTopLeftAndShowsTheCaretOnlyWhenAsked) {
  Draw(0, 0, "        ", kWhite, kBlue);
  CanvasCompose(canvas, target, false, 0, 0);
  EXPECT_EQ(PixelOf(target, 0, 0), kBlue);
  EXPECT_EQ(PixelOf(target, 8 * 10 + 5, 5), kBlack);  // right of the grid
  const int y = font.ascent;

  CanvasCompose(canvas, target, true, 2, 0);
  EXPECT_EQ(PixelOf(target, 2 * 10, y), (Rgb{255, 255, 0}));  // blue inverted
  EXPECT_EQ(PixelOf(target, 2 * 10 + 9, y + 1), (Rgb{255, 255, 0}));
  for (auto [x, dy] : {std::pair{2 * 10, 2}, {2 * 10, -1}, {3 * 10, 0}, {1 * 10 + 9, 0}})
    EXPECT_EQ(PixelOf(target, x, y + dy), kBlue) << x << "," << dy;
  // The caret is drawn over the picture, never into it.
  CanvasCompose(canvas, target, false, 2, 0);
  EXPECT_EQ(PixelOf(target, 2 * 10, y), kBlue);
}

TEST_F(WindowCanvas, MagnifierStretchesAFrozenPictureUntilItEnds) {
  Draw(0, 0, " ", kWhite, kRed);
  CanvasCompose(canvas, target, false, 0, 0);
  CanvasZoom(canvas, target, SDL_Rect{0, 0, 10, 20});  // the red cell
  Draw(0, 0, " ", kWhite, kBlue);                      // not shown while zoomed
  CanvasCompose(canvas, target, true, 0, 0);
  for (int x : {0, target->w / 2, target->w - 1})
    for (int y : {0, target->h / 2, target->h - 1})
      EXPECT_EQ(PixelOf(target, x, y), kRed) << x << "," << y;
  // A source partly outside the picture is cut to it.
  CanvasZoom(canvas, target, SDL_Rect{target->w - 5, 0, 100, 100});
  CanvasCompose(canvas, target, false, 0, 0);
  EXPECT_EQ(PixelOf(target, target->w / 2, target->h / 2), kBlack);
  CanvasEndZoom(canvas);
  CanvasCompose(canvas, target, false, 0, 0);
  EXPECT_EQ(PixelOf(target, 0, 0), kBlue);
  EXPECT_EQ(PixelOf(target, target->w - 1, 0), kBlack);
}

class WindowOffscreen : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    display = CreateDisplay("window");
    ASSERT_STREQ(display->Name(), "window");
  }
  std::unique_ptr<Display> display;
};

TEST_F(WindowOffscreen, OpensAtTheCellGridsSizeAndShowsWhatWasDrawn) {
  DisplaySettings s;
  s.fontFace = "DejaVu Sans Mono";
  s.fontWidth = 9;
  s.fontHeight = 18;
  s.title = "Voc\xEA";
  ASSERT_TRUE(display->Open(s));
  int w, h;
  display->ClientSize(w, h);
  EXPECT_EQ(w * 1000 + h, 80 * 9 * 1000 + 25 * 18);
  const unsigned char text[] = "ok";
  display->DrawText(79, 24, text, 2, kWhite, kBlue);
  display->Present();
  Rgb c;
  ASSERT_TRUE(WindowPixel(*display, 79 * 9 + 1, 24 * 18 + 1, c));
  EXPECT_EQ(c, kBlue);
  EXPECT_FALSE(WindowPixel(*display, w, h, c));
  display->Close();
  display->Close();
  EXPECT_FALSE(WindowPixel(*display, 0, 0, c));
}

TEST_F(WindowOffscreen, WakeFromAnotherThreadEndsAnUnboundedWait) {
  std::thread other([&] { display->Wake(); });
  display->WaitEvents(-1);  // hangs (and the test times out) if lost
  other.join();
  // Only one wake-up is queued however often it is asked for.
  std::thread many([&] { for (int i = 0; i < 1000; ++i) display->Wake(); });
  many.join();
  display->WaitEvents(-1);
}

TEST_F(WindowOffscreen, ClipboardCarriesWindows1252AsUtf8) {
  ASSERT_TRUE(display->Open(DisplaySettings{}));
  display->SetClipboardText("Voc\xEA j\xE1 \x80");
  char* utf8 = SDL_GetClipboardText();
  EXPECT_STREQ(utf8, "Voc\xC3\xAA j\xC3\xA1 \xE2\x82\xAC");
  SDL_free(utf8);
  std::string back;
  ASSERT_TRUE(display->GetClipboardText(back));
  EXPECT_EQ(back, "Voc\xEA j\xE1 \x80");
}

TEST(WindowFallback, NoGraphicalDisplayGivesTheTerminalInstead) {
  setenv("SDL_VIDEODRIVER", "x11", 1);
  const char* old = getenv("DISPLAY");
  std::string saved = old ? old : "";
  setenv("DISPLAY", ":32767", 1);  // nothing listens there
  testing::internal::CaptureStderr();
  auto display = CreateDisplay("window");
  std::string message = testing::internal::GetCapturedStderr();
  if (old) setenv("DISPLAY", saved.c_str(), 1);
  else unsetenv("DISPLAY");
  ASSERT_TRUE(display);
  EXPECT_STREQ(display->Name(), "terminal");
  EXPECT_NE(message.find("usando o terminal"), std::string::npos) << message;
}

// On a real X server (the window_x_errors test runs this under xvfb-run):
// a protocol error still unread when the window's video ends is reported
// as the display closes, with the handler SDL puts back then. It must be
// one that lets the program go on, not Xlib's default, which exits with 1.
TEST(WindowOnX, ProtocolErrorPendingAsVideoEndsLeavesTheProgramRunning) {
  if (!getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        setenv("SDL_VIDEODRIVER", "x11", 1);
        auto display = CreateDisplay("window");
        if (std::string(display->Name()) != "window" || !display->Open(DisplaySettings{}))
          std::_Exit(2);
        // A second connection's bad request, left unread: the process has
        // one error handler for every connection.
        void* x11 = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
        auto open = reinterpret_cast<void* (*)(const char*)>(dlsym(x11, "XOpenDisplay"));
        auto destroy = reinterpret_cast<int (*)(void*, unsigned long)>(dlsym(x11, "XDestroyWindow"));
        auto sync = reinterpret_cast<int (*)(void*, int)>(dlsym(x11, "XSync"));
        void* other = open(nullptr);
        if (!other) std::_Exit(3);
        destroy(other, 0x7FFFFF);  // no such window
        display.reset();           // video ends
        sync(other, 0);            // the error is read now
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}
