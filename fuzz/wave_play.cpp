// A WAV file played through wave playback, and the same bytes as a RIFF
// image in memory.
#include "console/snwin.h"
#include "fuzz/fuzz_support.h"
#include "wave/snwav.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::UseHeadlessWorld();
  static bool started = false;
  if (!started) WaveStart(), started = true;
  uint32_t total = 0, length = 0;
  WaveFormatFields format;
  const uint8_t* samples = nullptr;
  if (ParseRiff(data, static_cast<uint32_t>(size), total, format, length, samples) &&
      (samples < data || samples + length > data + size))
    __builtin_trap();  // the samples found must lie inside the image
  PlayAsync = false;
  RapidMode = size % 3 == 0;
  CutSpeech = size % 5 == 0;
  PlayWaveFile(fuzz::WriteInput("som.wav", data, size));
  StopWave();
  return 0;
}
