// Toada's abbreviations file, then text that uses abbreviations.
#include "fuzz/fuzz_support.h"
#include "fuzz/toada_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool loaded = (fuzz::LoadRealToada(fuzz::kAbbreviations), true);
  (void)loaded;
  LoadAbbreviations(fuzz::WriteInput("portug.abr", data, size));
  fuzz::SpeakThroughToada("O Sr. Silva mora na av. Brasil, nº 12, pág. 3 etc.");
  return 0;
}
