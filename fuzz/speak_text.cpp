// Any text spoken by the built-in voice: words, numbers, signs, spelling,
// and numbers, times and dates read from the input's first bytes.
#include "console/snwin.h"
#include "fuzz/fuzz_support.h"
#include "speech/sncrt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool started = false;
  if (!started) {
    fuzz::UseHeadlessWorld();
    StartSpeech(5, "");
    started = true;
  }
  std::string text = fuzz::Text(data, size);
  SpeakText(text);
  SpellText(text.substr(0, 8));
  int64_t n = 0;
  for (size_t i = 0; i < size && i < 8; ++i) n = (n << 8) | data[i];
  NumberToWords(n);
  if (size >= 4) SpeakDate(data[0], data[1], static_cast<uint16_t>(data[2] << 8 | data[3]));
  if (size >= 2) SpeakTime(data[0], data[1]);
  StopSpeech();
  return 0;
}
