// The table of recorded sounds (data/sounds.tsv): file name, text, pitch.
#pragma once
#include <string>
#include <vector>

namespace voicedata {

struct SoundEntry {
  std::string name;  // file name without ".wav"
  std::string text;  // what the voice says, UTF-8
  int pitch = 50;
};

// Lines: name TAB text [TAB pitch]; "#" starts a comment line. Malformed
// lines are reported in errors (with their line number) and skipped.
std::vector<SoundEntry> ParseSoundTable(const std::string& contents, std::vector<std::string>& errors);

}  // namespace voicedata
