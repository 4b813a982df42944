// The letter-to-phoneme rule table of Toada: context-sensitive rules read
// from the rules file, one list per first letter of the focus.
#pragma once
#include <string>
#include <vector>

// "left(FOCUS)right=ph1&ph2|comment". Fields longer than 5 characters
// (output: 20) are cut; only the first 11 output characters are used.
struct PhonemeRule {
  std::string left, focus, right, output;
};

// Lines starting with ";" are comments; a line without a focus (no
// parentheses, or nothing between them) would consume no letter and is
// skipped. False when the file cannot be read.
bool LoadPhonemeRules(const std::string& path);
void FreePhonemeRules();
size_t PhonemeRuleCount();

// The rules whose focus begins with c, in file order.
const std::vector<PhonemeRule>& RulesFor(unsigned char c);

// Whether rule matches the upper-case word at index pos (0-based).
bool RuleMatches(const PhonemeRule& rule, const std::string& word, size_t pos);
