// Toada's prosody file (durations, class keys, patterns, pitch levels),
// then text spoken with it.
#include "fuzz/fuzz_support.h"
#include "fuzz/toada_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool loaded = (fuzz::LoadRealToada(fuzz::kProsody), true);
  (void)loaded;
  if (LoadProsody(fuzz::WriteInput("portug.pro", data, size)))
    fuzz::SpeakThroughToada("Você vem? Que bom! Eu, ela e eles, os três.");
  return 0;
}
