// Phrasing for Toada: tokens of the normalised text with their two-letter
// classes, and the three-digit intonation pattern of each token.
#pragma once
#include <string>
#include <vector>

// The next word (a run of letters) or sign at pos (0-based), blanks
// skipped; empty at the end. A sign is written twice (",,"), a run of two
// or more points is ".-".
void NextToken(const std::string& text, size_t& pos, std::string& token, bool& isSign);

// The class of the word in the key table; empty when not listed.
std::string ClassOfWord(const std::string& word);

// "[CL]text" lines, starting with "[--]" and with "[--]" after ! . ?; the
// question mark of a question that opens with a question word has the
// class "?-" (it falls), any other "??" (it rises).
std::vector<std::string> Tokenize(const std::string& text);

// "ddd|text" lines: the first pattern rule matching the previous, own and
// next token's classes ("555" when none; a leading "?" takes the last
// level of the token before).
std::vector<std::string> AssignPatterns(const std::vector<std::string>& tokens, bool usePatterns);
