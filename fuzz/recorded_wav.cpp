// A recorded letter or word file, as the synthesizer reads it.
#include <cstdio>

#include "diphone/diphone.h"
#include "diphone/sound.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = fuzz::WriteInput("letras/_65.wav", data, size);
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    uint32_t length = FindWaveData(f);
    long at = std::ftell(f);
    std::fseek(f, 0, SEEK_END);
    long end = std::ftell(f);
    std::fclose(f);
    // The samples promised must be in the file.
    if (length > 0 && at + static_cast<long>(length) > end) __builtin_trap();
  }
  SynthLettersDir = fuzz::ScratchDir() + "/letras/";
  AppendRecorded("_65");
  ClearSound();
  return 0;
}
