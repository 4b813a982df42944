// A recorded letter or word file, as the synthesizer reads it.
#include <cstdio>

#include "diphone/diphone.h"
#include "diphone/sound.h"
#include "fuzz/fuzz_support.h"
#include "platform/os/riff.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = fuzz::WriteInput("letras/_65.wav", data, size);
  // The samples found must be in the file, however long the header says
  // they are.
  platform::WaveLayout layout;
  if (platform::FindWaveLayout(data, size, layout) &&
      (layout.dataOffset > size || layout.dataLength > size - layout.dataOffset))
    __builtin_trap();
  SynthLettersDir = fuzz::ScratchDir() + "/letras/";
  AppendRecorded("_65");
  ClearSound();
  return 0;
}
