// Toada's tables of everyday forms (portug.nrm), then text full of them.
#include "fuzz/fuzz_support.h"
#include "fuzz/toada_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool loaded = (fuzz::LoadRealToada(fuzz::kReadingTables), true);
  (void)loaded;
  LoadReadingTables(fuzz::WriteInput("portug.nrm", data, size));
  fuzz::SpeakThroughToada(
      "R$ 1.250,50 e 30 \x80 \xE0s 14h30, em 25/12/2023; n\xBA 5, 10 km, 50%, 10-20, "
      "(11) 98765-4321, o IBGE e as ONGs, s\xE9" "culo XXI, www.gov.br, a@b.com, a + b [x].");
  return 0;
}
