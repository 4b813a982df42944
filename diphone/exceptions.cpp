// The exceptions dictionary of the built-in voice: words whose spelling the
// rules would read wrongly, each mapped to the text the rules are to read
// instead. The file is read as written (the translator's words are in
// lower case) by the reader it shares with Toada.
#include "diphone/translator.h"
#include "platform/os/word_exceptions.h"

namespace {

struct ExceptionsState {
  platform::ExceptionTable table;
};
ExceptionsState X;

}  // namespace

bool LoadExceptions(const std::string& path) {
  return platform::ReadExceptionFile(path, platform::ExceptionCase::AsWritten, X.table);
}

void ClearExceptions() { X.table.clear(); }

size_t ExceptionCount() { return X.table.size(); }

void ApplyExceptions(Word& word) { word.text = platform::LookUpException(X.table, word.text, 's', 'm'); }
