// The real Toada data (data/toada/portug.*): phonemes of a varied word
// list and MBROLA lines of sentences, as golden files one case a line.
// When the rules or the prosody change on purpose, regenerate with
// TOADA_UPDATE_GOLDEN=1 and review the diff.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "text_golden.h"
#include "tts/mbrola_lines.h"
#include "tts/normalize.h"
#include "tts/phoneme_rules.h"
#include "tts/prosody.h"
#include "tts/text_pieces.h"
#include "tts/text_pipeline.h"
#include "tts/words.h"

namespace {

std::string DataFile(const std::string& name) {
  return std::string(SONARIS_SOURCE_DIR) + "/data/toada/" + name;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += (s.empty() ? "" : " | ") + l;
  return s;
}

std::string PhonemeLine(const std::string& words) { return PhonemesInOneLine(TextToPhonemes(words)); }

class RealData : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadDictionaries(DataFile("portug.nrl"), DataFile("portug.exc")));
    ASSERT_TRUE(LoadAbbreviations(DataFile("portug.abr")));
    ASSERT_TRUE(LoadReadingTables(DataFile("portug.nrm")));
    ASSERT_TRUE(LoadProsody(DataFile("portug.pro")));
    FreeDiphoneList();  // the list depends on the voice installed: no fillers here
  }
  void TearDown() override {
    FreePhonemeRules();
    ClearProsody();
    ClearAbbreviations();
    ClearReadingTables();
  }
};

// Money, times, dates, units, acronyms, addresses and signs as Toada says
// them, grouped by kind, with the forms that must stay as they were.
TEST_F(RealData, EverydayForms) {
  golden::Check("everyday_text.txt", 250, [](const std::string& t) { return SpokenWords(t); });
}

TEST_F(RealData, PhonemesOfWords) {
  golden::Check("phonemes.txt", 500, PhonemeLine);
}

// A final s or r before the next word's vowel: z and the tapped r.
TEST_F(RealData, LiaisonBetweenWords) {
  golden::Check("liaison.txt", 20, PhonemeLine);
}

// The melody of each word that ends a phrase (before a sign), read from the
// MBROLA lines: how its stressed target moves from the word's first one,
// and its last target from the stressed one ("carro: tônica sobe, fim
// desce").
std::string PhraseEndMelody(const std::vector<std::string>& lines) {
  struct Word {
    std::string text;
    std::vector<std::pair<int, int>> targets;  // position, hertz
  };
  std::vector<Word> words;
  std::string out;
  auto arrow = [](int from, int to) {
    return to * 50 > from * 51 ? "sobe" : to * 51 < from * 50 ? "desce" : "igual";
  };
  for (const std::string& l : lines) {
    if (l.size() > 1 && l[0] == ';') {
      std::string text = l.substr(1);
      bool sign = std::string(",.?!;:").find(text[0]) != std::string::npos;
      if (sign && !words.empty() && !words.back().text.empty()) {
        const Word& w = words.back();
        std::string melody;
        for (size_t i = 0; i < w.targets.size(); ++i) {
          if (w.targets[i].first != 80 || i == 0) continue;
          melody = std::string("t\xF4nica ") + arrow(w.targets[0].second, w.targets[i].second);
          if (i + 1 < w.targets.size())
            melody += std::string(", fim ") + arrow(w.targets[i].second, w.targets.back().second);
        }
        out += (out.empty() ? "" : " / ") + w.text + ": " + melody;
      }
      words.push_back({sign ? "" : text, {}});
      continue;
    }
    int ms, position, hertz;
    char name[8];
    if (!words.empty() && std::sscanf(l.c_str(), "%7s %d %d %d", name, &ms, &position, &hertz) == 4)
      words.back().targets.push_back({position, hertz});
  }
  return out;
}

// Statements fall at their end, yes/no questions rise on the last stressed
// syllable (and fall after it), questions with a question word fall, and
// an item before a comma keeps the melody up.
TEST_F(RealData, MelodyOfPhraseEnds) {
  golden::Check("melody.txt", 12,
                [](const std::string& s) { return PhraseEndMelody(TextToMbrolaLines(s, 1.0, 1.0)); });
}

TEST_F(RealData, MbrolaLinesOfSentences) {
  golden::Check("mbrola_lines.txt", 20,
                [](const std::string& s) { return Joined(TextToMbrolaLines(s, 1.0, 1.0)); });
}

// Every phoneme that the rules write has a duration of its own in the
// prosody file (a missing one would silently take 100 ms).
TEST_F(RealData, EveryPhonemeHasADuration) {
  std::string missing;
  for (const golden::Case& c : golden::Read("phonemes.txt")) {
    for (const std::string& line : TextToPhonemes(platform::Utf8ToCp1252(c.input))) {
      if (line.empty() || line[0] == ';') continue;
      std::string p = line;
      while (!p.empty() && (p[0] == '>' || static_cast<unsigned char>(p[0]) == 168)) p.erase(0, 1);
      bool known = false;
      for (const PhonemeDurationEntry& e : ::Prosody().durations) known |= e.name == p;
      if (!known && p.rfind("_ ", 0) != 0 && missing.find(" " + p + " ") == std::string::npos)
        missing += " " + p + " ";
    }
  }
  EXPECT_EQ(missing, "");
}

std::string ReadCorpus(const std::string& name) {
  std::ifstream in(std::string(SONARIS_SOURCE_DIR) + "/data/corpus/" + name);
  std::string text, line;
  while (std::getline(in, line)) text += (text.empty() ? "" : " ") + line;
  return platform::Utf8ToCp1252(text);
}

// The lines a long text gets piece by piece, given as `feed` bytes at a time.
std::vector<std::string> PieceLines(const std::string& text, size_t feed, size_t* pieces) {
  TextPieces p;
  std::vector<std::string> all, lines;
  size_t at = 0;
  *pieces = 0;
  for (bool atEnd = false;;) {
    if (NextLines(p, atEnd, lines)) {
      all.insert(all.end(), lines.begin(), lines.end());
      ++*pieces;
    } else if (atEnd) {
      break;
    } else if (at < text.size()) {
      AddText(p, text.substr(at, feed));
      at += feed;
    } else {
      atEnd = true;
    }
  }
  return all;
}

// A long text made into lines sentence by sentence, whether it comes whole
// or a little at a time, reads exactly as the whole text at once: the same
// pauses between sentences, one opening and one closing pause.
TEST_F(RealData, TextInPiecesGivesTheLinesOfTheWholeText) {
  for (const char* name : {"conversa.txt", "historia.txt", "signos.txt"}) {
    std::string text = ReadCorpus(name);
    ASSERT_GT(text.size(), 1000u) << name;
    std::vector<std::string> whole = TextToMbrolaLines(text, 1.0, 1.0);
    for (size_t feed : {text.size(), size_t(97)}) {
      size_t pieces = 0;
      std::vector<std::string> pieced = PieceLines(text, feed, &pieces);
      EXPECT_GT(pieces, 10u) << name;
      ASSERT_EQ(pieced.size(), whole.size()) << name << " " << feed;
      for (size_t i = 0; i < whole.size(); ++i)
        ASSERT_EQ(pieced[i], whole[i]) << name << " line " << i << " feed " << feed;
    }
  }
}

}  // namespace
