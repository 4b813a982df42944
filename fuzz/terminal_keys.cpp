// Terminal input bytes, whole or cut anywhere, as keys.
#include <vector>

#include "platform/display/src/terminal_keys.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<platform::Message> out;
  for (bool atEnd : {false, true}) {
    size_t used = 0;
    while (used < bytes.size()) {
      size_t n = platform::DecodeKeys(bytes.substr(used), atEnd, out, size % 2 == 0);
      if (n == 0) break;
      if (n > bytes.size() - used) __builtin_trap();  // more used than given
      used += n;
    }
  }
  return 0;
}
