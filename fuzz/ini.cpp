// The INI reader on any file: sections, keys, values and lengths.
#include "fuzz/fuzz_support.h"
#include "platform/os/ini.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = fuzz::WriteInput("any.ini", data, size);
  std::string value;
  for (const char* key : {"CORLETRA", "", "a", "DIFONES3"})
    platform::IniRead(path, "VIDEO", key, value, 1 + static_cast<int>(size % 300));
  platform::IniReadString(path, "", "x", "padrão");
  return 0;
}
