// The diphone list of a voice, then text whose missing diphones get
// fillers from it.
#include "fuzz/fuzz_support.h"
#include "fuzz/toada_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool loaded = (fuzz::LoadRealToada(fuzz::kDiphones), true);
  (void)loaded;
  LoadDiphoneList(fuzz::WriteInput("portug.dfn", data, size));
  fuzz::SpeakThroughToada("Pneumático, psicólogo, ritmo e álcool.");
  FreeDiphoneList();
  return 0;
}
