#include "tts/text_pipeline.h"

#include "tts/latin1.h"
#include "tts/mbrola_lines.h"
#include "tts/normalize.h"
#include "tts/phrasing.h"
#include "tts/words.h"

std::vector<std::string> TextToPhonemes(const std::string& text) {
  std::string trimmed = TrimBlanks(text);
  if (trimmed.empty()) return {};
  return WordsToPhonemes(AssignPatterns(Tokenize(PrepareText(trimmed)), true));
}

std::string PhonemesInOneLine(const std::vector<std::string>& phonemes) {
  std::string out, word;
  bool inWord = false;
  for (const std::string& p : phonemes) {
    if (!p.empty() && p[0] == ';') {
      inWord = true;
      word.clear();
    } else if (p.empty()) {
      if (inWord && !word.empty()) out += (out.empty() ? "" : " / ") + word;
      inWord = false;
    } else if (inWord && p != "__") {
      word += (word.empty() ? "" : " ") + p;
    }
  }
  return out;
}

std::vector<std::string> TextToMbrolaLines(const std::string& text, double pitchFactor,
                                           double durationFactor) {
  std::vector<std::string> phonemes = TextToPhonemes(text);
  if (phonemes.empty()) return {};
  return BuildMbrolaLines(phonemes, pitchFactor, durationFactor);
}
