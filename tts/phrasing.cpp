// Tokens, their classes and their intonation patterns.
#include "tts/phrasing.h"

#include <algorithm>

#include "tts/latin1.h"
#include "tts/normalize.h"
#include "tts/prosody.h"

namespace {

const char* const kBoundary = "[--]";
const char* const kSentenceEnds = "!.?";
const char* const kQuestionWordClass = "IN";
// The class of the question mark that ends a question with a question word.
const char* const kQuestionWordEnd = "?-";

std::string ClassOfLine(const std::string& line) { return line.size() >= 3 ? line.substr(1, 2) : ""; }

bool FieldMatches(const std::string& field, const std::string& klass) {
  return field.empty() || field == klass;
}

}  // namespace

void NextToken(const std::string& text, size_t& pos, std::string& token, bool& isSign) {
  while (pos < text.size() && text[pos] == ' ') ++pos;
  token.clear();
  isSign = false;
  if (pos >= text.size()) return;
  isSign = true;
  if (text.compare(pos, 2, "..") == 0) {
    token = ".-";
    while (pos < text.size() && text[pos] == '.') ++pos;
  } else if (!IsTextLetter(static_cast<unsigned char>(text[pos]))) {
    token.assign(2, text[pos++]);
  } else {
    size_t start = pos;
    while (pos < text.size() && IsTextLetter(static_cast<unsigned char>(text[pos]))) ++pos;
    token = text.substr(start, pos - start);
    isSign = false;
  }
}

std::string ClassOfWord(const std::string& word) {
  const std::vector<ClassKey>& keys = Prosody().keys;
  std::string key = UpperLatin1Text(word);
  auto it = std::lower_bound(keys.begin(), keys.end(), key,
                             [](const ClassKey& k, const std::string& w) { return k.key < w; });
  return (it != keys.end() && it->key == key) ? it->klass : "";
}

// A question that opens with a question word (quando, onde, quem, o que,
// por que, de onde...) falls at its end as a statement does; one without
// rises. The question words are the class IN of the prosody file, and QUE
// in its place; a preposition, article or conjunction may come first.
static bool OpensWithQuestionWord(const std::vector<std::string>& tokens, size_t start) {
  auto classAt = [&](size_t i) { return i < tokens.size() ? ClassOfLine(tokens[i]) : ""; };
  auto isQuestionWord = [&](size_t i) {
    return i < tokens.size() && (classAt(i) == kQuestionWordClass ||
                                 UpperLatin1Text(tokens[i].substr(4)) == "QUE");
  };
  std::string first = classAt(start);
  return isQuestionWord(start) ||
         ((first == "PR" || first == "AR" || first == "CJ") && isQuestionWord(start + 1));
}

std::vector<std::string> Tokenize(const std::string& text) {
  std::vector<std::string> tokens{kBoundary};
  size_t sentenceStart = 1;
  size_t pos = 0;
  std::string token;
  bool isSign = false;
  while (pos < text.size()) {
    NextToken(text, pos, token, isSign);
    if (token.empty()) break;
    std::string klass, word;
    if (isSign) {
      klass = token.substr(0, 2);
      word = token.substr(0, 1);
    } else {
      klass = ClassOfWord(token);
      if (klass.empty()) klass = "XX";
      word = token;
    }
    if (klass == "??" && OpensWithQuestionWord(tokens, sentenceStart)) klass = kQuestionWordEnd;
    tokens.push_back("[" + klass + "]" + word);
    if (InLatin1Set(static_cast<unsigned char>(word[0]), kSentenceEnds)) {
      tokens.push_back(kBoundary);
      sentenceStart = tokens.size();
    }
  }
  return tokens;
}

std::vector<std::string> AssignPatterns(const std::vector<std::string>& tokens, bool usePatterns) {
  const std::vector<PatternRule>& rules = Prosody().patterns;
  std::vector<std::string> patterns;
  patterns.reserve(tokens.size());
  char lastLevel = '5';
  for (size_t i = 0; i < tokens.size(); ++i) {
    std::string previous = i > 0 ? ClassOfLine(tokens[i - 1]) : "";
    std::string current = ClassOfLine(tokens[i]);
    std::string next = i + 1 < tokens.size() ? ClassOfLine(tokens[i + 1]) : "";
    std::string pattern = "555";
    if (usePatterns) {
      for (const PatternRule& r : rules) {
        if (FieldMatches(r.previous, previous) && FieldMatches(r.current, current) &&
            FieldMatches(r.next, next)) {
          pattern = r.pattern;
          break;
        }
      }
    }
    if (pattern[0] == '?') pattern[0] = lastLevel;
    lastLevel = pattern[2];
    patterns.push_back(pattern + "|" + (tokens[i].size() > 4 ? tokens[i].substr(4) : ""));
  }
  return patterns;
}
