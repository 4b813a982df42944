// A diphone database (.IND index and .DIF samples), then a phrase
// synthesized from it. The input holds both: two bytes give the index's
// length, the index follows, the rest is the sample file.
#include <vector>

#include "diphone/diphone.h"
#include "diphone/sound.h"
#include "fuzz/fuzz_support.h"

namespace {

void PointSettingsAtScratch() {
  static bool done = false;
  if (done) return;
  done = true;
  fuzz::UseHeadlessWorld();
  std::string dir = fuzz::ScratchDir();
  std::string ini = "[TRADUTOR]\r\nDIRLETRAS=" + dir + "/letras\\\r\nDIRDIFONES=" + dir +
                    "/difones\\\r\n";
  fuzz::WriteInput("letras/.keep", nullptr, 0);
  fuzz::WriteInput("SONARIS.INI", reinterpret_cast<const uint8_t*>(ini.data()), ini.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  PointSettingsAtScratch();
  size_t indexLength = std::min<size_t>(size - 2, data[0] | (data[1] << 8));
  fuzz::WriteInput("difones/DIFONES2.IND", data + 2, indexLength);
  fuzz::WriteInput("difones/DIFONES2.DIF", data + 2 + indexLength, size - 2 - indexLength);
  DiphoneDbName = "DIFONES2";
  if (LoadDiphoneIndex()) {
    DiphoneSetTuning(data[0] % 3 ? 600 : -600, 1000, 500);
    std::vector<unsigned char> samples;
    RenderPhonetic("'kaza bo'nita", false, samples);
  }
  return 0;
}
