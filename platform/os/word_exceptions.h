// Exceptions: words whose spelling the letter-to-sound rules would read
// wrongly, each with the form the rules are to read instead. One file
// reader and one look-up serve both voices: the built-in voice keeps the
// file's case, Toada reads it in upper case.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace platform {

constexpr size_t kMaxExceptionEntries = 15000;

struct ExceptionEntry {
  std::string word, rewritten;
};
// Sorted by word in byte order.
using ExceptionTable = std::vector<ExceptionEntry>;

enum class ExceptionCase { AsWritten, Upper };

// "word=rewritten|comment", one a line, at most 255 characters read of each;
// empty lines are skipped, entries past kMaxExceptionEntries ignored. False
// (table empty) when the file cannot be opened.
bool ReadExceptionFile(const std::string& path, ExceptionCase letterCase,
                       ExceptionTable& table);

// The word's rewritten form. A word without an entry of its own that ends
// in one of the two plural/verb letters finds its stem's entry, and the
// letters go back after the stem's form (casas, cantam); a word with no
// entry at all comes back unchanged.
std::string LookUpException(const ExceptionTable& table, const std::string& word,
                            char pluralS, char verbM);

}  // namespace platform
