// What speech-dispatcher hands the module, from any client: command and
// setting lines, and message text with SSML. A mark must never carry a line
// end, or reporting it would write a protocol line of the client's making.
#include <cstdlib>
#include <string>

#include "programs/sd_sonaris/protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  sd::Settings settings;
  size_t start = 0;
  while (start <= input.size()) {
    size_t end = input.find('\n', start);
    if (end == std::string::npos) end = input.size();
    const std::string line = input.substr(start, end - start);
    sd::ParseCommand(line);
    sd::ApplySetting(settings, sd::DataLine(line));
    sd::KeyWords(line);
    start = end + 1;
  }
  sd::ChooseVoice(settings);
  sd::ToadaSpeed(settings.rate), sd::ToadaPitch(settings.pitch), sd::BuiltInLevel(settings.rate);
  sd::VolumeRatio(settings.volume);
  for (const sd::Piece& p : sd::SplitSsml(input))
    if (p.mark.find_first_of("\r\n") != std::string::npos) std::abort();
  return 0;
}
