// State shared by the console's source files: one record for the window,
// the screen buffers, the keyboard queue and the Braille entry state.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "console/snwin.h"
#include "platform/display/display.h"

namespace console_detail {

// What the INI file's VIDEO section asks of the console.
struct VideoSettings {
  bool fixedColours = false;
  bool blitScroll = false;
  bool maximised = false;
  int zoom = 2;
  std::string fontFace;
  int fontWidth = 0;
  int fontHeight = 0;
  int fontWeight = 0;  // 0: the face's own weight
};

constexpr int KeyQueueSize = 64;
constexpr size_t TextBufferSize = 128;

// Seams for tests: how the display is made and how a looping tone sounds.
using DisplayFactory = std::unique_ptr<platform::Display> (*)();
using LoopSoundProc = void (*)(const uint8_t* image, size_t size);
using StopSoundProc = void (*)();

struct ConsoleState {
  std::unique_ptr<platform::Display> display;
  bool created = false;
  bool focused = false;
  bool waiting = false;      // a ReadKey sleeps
  bool breakCheck = true;    // Ctrl+Break ends the program
  bool closeAfterKeys = false;  // input ended: close when the queue is empty
  bool exitHookSet = false;

  uint8_t chars[ScreenColumns * ScreenRows] = {};
  uint8_t attrs[ScreenColumns * ScreenRows] = {};
  int winLeft = 0, winTop = 0, winRight = ScreenColumns - 1,
      winBottom = ScreenRows - 1;
  int curX = 0, curY = 0;    // relative to the text window

  VideoSettings video;
  bool zooming = false;

  uint8_t queue[KeyQueueSize] = {};
  unsigned queueMods[KeyQueueSize] = {};  // modifiers held for each byte
  int queued = 0;
  unsigned keyMods = 0;   // modifiers of the key message being handled
  unsigned readMods = 0;  // modifiers of the byte ReadKey returned last
  bool silence = false;   // a display key typed nothing (SilencePending)

  // The Braille display: the row it shows (the last one written on or
  // moved to), and the cell of the last routing key (0-based).
  bool braille = false;
  int brailleRow = 0;
  int routedColumn = 0, routedRow = 0;

  // Braille entry: dots collected, keys still down, mode-2 text states.
  unsigned chord = 0, held = 0;
  bool capitalNext = false, capitalLock = false, numberMode = false;

  std::vector<uint8_t> tone;
  LoopSoundProc playLoop = nullptr;  // nullptr: the platform's
  StopSoundProc stopLoop = nullptr;
  DisplayFactory displayFactory = nullptr;

  // Standard output's buffer.
  unsigned char output[TextBufferSize] = {};
  size_t outputFilled = 0;
};

ConsoleState& State();

// nullptr returns to the platform's display and tone player.
void SetDisplayFactory(DisplayFactory factory);
void SetLoopSoundProcs(LoopSoundProc play, StopSoundProc stop);

// video_settings.cpp: reads the INI files (each key from the first that
// holds it) into the settings, ColourTable, TextAttribute and BrailleMode.
void LoadVideoSettings(const std::vector<std::string>& iniFiles, int workWidth,
                       int workHeight, VideoSettings& out);

// screen.cpp
void PaintSegment(int first, int end, int row);
void RepaintAll();
platform::Rgb ColourOf(int index);
void HandleMagnifier(const platform::Message& m);

// keyboard.cpp
void HandleKeyDown(const platform::Message& m);
void HandleSysKeyDown(const platform::Message& m);
void HandleChar(const platform::Message& m);
void HandleKeyUp(const platform::Message& m);
bool QueueKey(uint8_t key);
bool QueuePair(uint8_t code);
void ShowCaret(bool visible);

// braille_line.cpp
void StartBrailleLine(ConsoleState& s);
void StopBrailleLine(ConsoleState& s);
void ShowBrailleLine(ConsoleState& s);
void HandleBrailleMessage(const platform::Message& m);

// braille.cpp
bool IsBrailleKey(unsigned vk, unsigned& bit);
void ReleaseBrailleKey(unsigned vk);
void ClearBrailleTextStates();

// tone.cpp
std::vector<uint8_t> BuildToneImage(uint16_t frequency);
void Beep();

}  // namespace console_detail
