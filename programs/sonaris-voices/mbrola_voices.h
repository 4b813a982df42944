// The MBROLA voices the Toada voice can use: the voice databases found in
// the source tree's third_party/mbrola/ and in /usr/share/mbrola.
#pragma once
#include <string>
#include <vector>

struct MbrolaVoice {
  std::string name;  // "br1"
  std::string path;  // the database file
};

std::vector<MbrolaVoice> FindMbrolaVoices(const std::vector<std::string>& folders);
