// The built-in voice's letter rules file, then words through it.
#include "diphone/translator.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = fuzz::WriteInput("regras.rgr", data, size);
  if (LoadRules(path)) {
    std::string out;
    for (const char* word : {"casa", "ch'uva", "a'gua", "", "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"})
      ApplyRules(word, out);
  }
  FreeRules();
  return 0;
}
