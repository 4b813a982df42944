// Any text through Toada's normalisation and the whole text pipeline.
#include "fuzz/fuzz_support.h"
#include "fuzz/toada_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool loaded = (fuzz::LoadRealToada(0), true);
  (void)loaded;
  std::string text = fuzz::Text(data, size);
  PrepareText(text);
  fuzz::SpeakThroughToada(text);
  return 0;
}
