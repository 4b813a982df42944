// The birth-date answer as typed at the prompt.
#include "app/answer.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string answer = fuzz::Text(data, size);
  if (answer.size() > MaxAnswerLength) answer.resize(MaxAnswerLength);
  BirthDate date;
  if (ParseBirthAnswer(answer, date) && date.year < FirstYear) __builtin_trap();
  return 0;
}
