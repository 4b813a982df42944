// The console: an 80x25 screen buffer in a window of its own, its keyboard
// queue, tones, clipboard and clock. Coordinates are 1-based.
#pragma once
#include <cstdint>
#include <string>

namespace platform { struct Message; }

constexpr int ScreenColumns = 80;
constexpr int ScreenRows = 25;

// Current text attribute: low nibble foreground, high nibble background.
extern uint8_t TextAttribute;
extern uint8_t ColourTable[16];
extern int BrailleMode;

// Wave playback hands block-done messages through this hook.
using WaveDoneProc = void (*)(uintptr_t wParam, intptr_t lParam);
extern WaveDoneProc WaveDoneHook;
extern bool WaveDoneHookEnabled;
// The first bytes of a key have come (which key it is follows shortly):
// wave playback silences its sound through this hook at once.
using KeyArrivingProc = void (*)();
extern KeyArrivingProc KeyArrivingHook;
// A voice back end whose engine runs on a thread of its own hears of new
// sound through this hook (message 2980), even inside a Delay.
using VoiceWakeProc = void (*)();
extern VoiceWakeProc VoiceWakeHook;

// Screen (screen.cpp)
void OpenConsole();
void ClearScreen();
void ClearToEndOfLine();
void MoveCursor(int column, int row);
int CursorColumn();
int CursorRow();
void SetTextBackground(uint8_t colour);
void WriteChars(const unsigned char* text, uint16_t count);
void WriteChars(const std::string& text);
uint8_t ScreenCharAt(int column, int row);
uint8_t ScreenAttrAt(int column, int row);
int TextWindowLeft();  // 1-based column of the text window's top-left
int TextWindowTop();
int TextWindowWidth();
int TextWindowHeight();
void CopyToClipboard(const char* text);
void PasteFromClipboard(char* buffer, int size);
void CurrentDate(uint16_t& year, uint16_t& month, uint16_t& day, uint16_t& weekday);
void CurrentTime(uint16_t& hour, uint16_t& minute, uint16_t& second, uint16_t& hundredths);
[[noreturn]] void CloseConsole();
// Destroys the window, its buffers and queued keys without ending the
// program; the next console operation opens a fresh one.
void CloseConsoleWindow();
// The console's window procedure (messages from the message queue).
void ConsoleWindowProc(const platform::Message& m);

// Keyboard (keyboard.cpp)
uint8_t ReadKey();
// A Braille display's routing key gives 0 and BrailleRouteCode, as a
// function key does; RoutedCell tells the cell (1-based) it stood above.
constexpr uint8_t BrailleRouteCode = 240;
void RoutedCell(int& column, int& row);
// True when a display key that types nothing (panning) came since the
// program last read a key: speech stays silent, as for a waiting key.
bool SilencePending();
bool KeyPressed();
void PumpMessages();
void PumpConsoleMessages();
void Delay(uint16_t milliseconds);
void SetBrailleMode(int mode);
void PlayTone(uint16_t frequency);
void StopTone();
// Tones and the terminal bell that tell that the program cannot start.
void SoundAlarm();
int QueuedKeyCount();
// Whether Shift (0x10), Ctrl (0x11) or Alt (0x12) was held when the key
// last read with ReadKey was pressed.
bool KeyHeld(unsigned virtualKey);

// Standard output and input bound to the console (textfile.cpp).
void StdWrite(const std::string& text);   // buffered, 128 bytes
void StdWriteLn(const std::string& text = "");
void StdFlush();
std::string StdReadLn();                  // ReadEchoLine, line end removed
uint16_t ReadEchoLine(unsigned char* buffer, uint16_t size);
