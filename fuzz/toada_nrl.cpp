// Toada's letter-to-phoneme rules file, then text through it.
#include "fuzz/fuzz_support.h"
#include "fuzz/toada_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool loaded = (fuzz::LoadRealToada(fuzz::kRules), true);
  (void)loaded;
  std::string rules = fuzz::WriteInput("portug.nrl", data, size);
  LoadDictionaries(rules, fuzz::ToadaFile("exc"));
  fuzz::SpeakThroughToada("Casa, chuva e exceção; quinze mil pássaros?");
  return 0;
}
