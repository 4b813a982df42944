#include "tts/text_pieces.h"

#include <cstdlib>

#include "tts/latin1.h"
#include "tts/text_pipeline.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Where a sentence may end: after a run of ".", "!" or "?" followed by a
// blank. 0 when there is none from `from` on.
size_t NextSentenceEnd(const std::string& s, size_t from) {
  for (size_t i = from; i + 1 < s.size(); ++i) {
    if (!InLatin1Set(static_cast<unsigned char>(s[i]), ".!?")) continue;
    while (i + 1 < s.size() && InLatin1Set(static_cast<unsigned char>(s[i + 1]), ".!?")) ++i;
    if (i + 1 < s.size() && IsBlank(s[i + 1])) return i + 1;
  }
  return 0;
}

// The lines of a text end with its closing pause, after the last empty
// line; a text that ends a sentence has its boundary (";" and a pause)
// just before that.
size_t ClosingStart(const std::vector<std::string>& lines) {
  for (size_t i = lines.size(); i > 0; --i)
    if (lines[i - 1].empty()) return i;
  return lines.size();
}

bool EndsASentence(const std::vector<std::string>& lines) {
  size_t c = ClosingStart(lines);
  return c >= 3 && lines[c - 3] == ";";
}

// Opening lines: up to the first empty line, the sentence boundary that
// begins every text.
size_t OpeningEnd(const std::vector<std::string>& lines) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].empty()) return i + 1;
  return 0;
}

// The next piece of the rest and its lines; 0 when none is ready.
size_t TakePiece(TextPieces& p, bool atEnd, std::vector<std::string>& lines) {
  const size_t limit = std::min(p.rest.size(), kLongestPiece);
  for (size_t cut = NextSentenceEnd(p.rest, 0); cut != 0 && cut <= limit;
       cut = NextSentenceEnd(p.rest, cut)) {
    lines = TextToMbrolaLines(p.rest.substr(0, cut), p.pitchFactor, p.durationFactor);
    // An abbreviation or an ordinal may have eaten the point: no sentence ends there.
    if (EndsASentence(lines)) return cut;
  }
  size_t cut = 0;
  if (p.rest.size() > kLongestPiece) {
    cut = p.rest.find_last_of(" \t\r\n", kLongestPiece);
    if (cut == std::string::npos || cut == 0) cut = kLongestPiece;
  } else if (atEnd) {
    cut = p.rest.size();
  }
  if (cut == 0) return 0;
  lines = TextToMbrolaLines(p.rest.substr(0, cut), p.pitchFactor, p.durationFactor);
  return cut;
}

}  // namespace

void AddText(TextPieces& p, const std::string& text) { p.rest += text; }

bool NextLines(TextPieces& p, bool atEnd, std::vector<std::string>& lines) {
  lines.clear();
  while (!p.rest.empty()) {
    std::vector<std::string> piece;
    size_t cut = TakePiece(p, atEnd, piece);
    if (cut == 0) return false;
    p.rest.erase(0, cut);
    if (TrimBlanks(p.rest).empty() && atEnd) p.rest.clear();
    if (piece.empty()) continue;  // blanks only
    size_t from = p.opened ? OpeningEnd(piece) : 0;
    size_t to = ClosingStart(piece);
    p.opened = true;
    lines.assign(piece.begin() + long(from), piece.begin() + long(to));
    p.closing.assign(piece.begin() + long(to), piece.end());
    return true;
  }
  if (!atEnd || p.closing.empty()) return false;
  lines.swap(p.closing);
  p.closing.clear();
  return true;
}

int OpeningPauseMs(const std::vector<std::string>& lines) {
  int ms = 0;
  for (const std::string& l : lines) {
    if (l.empty() || l[0] == ';') continue;
    if (l[0] != '_' || (l.size() > 1 && l[1] != ' ')) break;
    ms += std::atoi(l.c_str() + 1);
  }
  return ms;
}
