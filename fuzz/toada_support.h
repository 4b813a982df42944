// Toada's real data loaded once (from the data folder's toada/), so that
// a target can replace one of its files with the input and still run the
// whole text pipeline.
#pragma once
#include <string>

#include "platform/os/paths.h"
#include "tts/mbrola_lines.h"
#include "tts/normalize.h"
#include "tts/prosody.h"
#include "tts/text_pipeline.h"
#include "tts/words.h"

namespace fuzz {

inline std::string ToadaFile(const char* extension) {
  return platform::DataDir() + "/toada/portug." + extension;
}

enum ToadaPart { kRules = 1, kAbbreviations = 2, kProsody = 4, kDiphones = 8, kReadingTables = 16 };

// Loads the real files of every part not in `except`.
inline void LoadRealToada(int except) {
  if (!(except & kRules)) LoadDictionaries(ToadaFile("nrl"), ToadaFile("exc"));
  if (!(except & kAbbreviations)) LoadAbbreviations(ToadaFile("abr"));
  if (!(except & kProsody)) LoadProsody(ToadaFile("pro"));
  if (!(except & kDiphones)) LoadDiphoneList(ToadaFile("dfn"));
  if (!(except & kReadingTables)) LoadReadingTables(ToadaFile("nrm"));
}

inline void SpeakThroughToada(const std::string& text) {
  TextToMbrolaLines(text, 1.0, 1.0);
  TextToMbrolaLines(text, 0.1, 3.0);
}

}  // namespace fuzz
