// Toada's exceptions file, then text through it.
#include "fuzz/fuzz_support.h"
#include "fuzz/toada_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool loaded = (fuzz::LoadRealToada(fuzz::kRules), true);
  (void)loaded;
  std::string exceptions = fuzz::WriteInput("portug.exc", data, size);
  LoadDictionaries(fuzz::ToadaFile("nrl"), exceptions);
  fuzz::SpeakThroughToada("muito obrigado, o menino fez isso.");
  return 0;
}
