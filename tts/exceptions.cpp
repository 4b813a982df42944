// Toada's own exceptions table.
#include "tts/exceptions.h"

#include "platform/os/word_exceptions.h"

namespace {

struct ExceptionListState {
  platform::ExceptionTable table;
};
ExceptionListState X;

}  // namespace

bool LoadExceptionList(const std::string& path) {
  return platform::ReadExceptionFile(path, platform::ExceptionCase::Upper, X.table);
}

void ClearExceptionList() { X.table.clear(); }

size_t ExceptionListCount() { return X.table.size(); }

void FindException(std::string& word) { word = platform::LookUpException(X.table, word, 'S', 'M'); }
