// The review mode is tested on its own; here the editor only has to start it.
#include "review/review.h"
#include "tests/speech/fakes.h"

std::string ReviewSearchText;
void ReviewMode() { Fake.events.push_back("review:"); }
