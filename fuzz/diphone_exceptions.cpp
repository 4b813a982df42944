// The built-in voice's exceptions file, then words looked up in it.
#include "diphone/translator.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = fuzz::WriteInput("portug.exc", data, size);
  LoadExceptions(path);
  for (const char* text : {"muito", "ta'xi", "", "a"}) {
    Word word;
    word.text = text;
    ApplyExceptions(word);
  }
  ClearExceptions();
  return 0;
}
