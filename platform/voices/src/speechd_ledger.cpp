#include "platform/voices/src/speechd_ledger.h"

#include <algorithm>

#include "platform/os/clock.h"

namespace platform {

namespace {

// The daemon speaks in real time: the program's clock may not skip ahead
// of the ends it will report.
void NoteOutstanding(TextLedger& l) { HoldClockWhile(l.holdsClock, l.outstanding > 0); }

void OneEnded(TextLedger& l) {
  if (l.outstanding > 0) --l.outstanding;
  if (l.outstanding == 0) l.complete.Set();
  NoteOutstanding(l);
}

}  // namespace

TextLedger::~TextLedger() { HoldClockWhile(holdsClock, false); }

void LedgerQueueText(TextLedger& l, std::function<void()> say) {
  ++l.outstanding;
  l.complete.Reset();
  NoteOutstanding(l);
  l.jobs.push_back({std::move(say), true, true});
}

void LedgerTextQueued(TextLedger& l, long id, unsigned epoch) {
  l.handingOver = false;
  const bool ended = id >= 0 && l.endedEarly.count(size_t(id));
  // Ends noted meanwhile that were not this text's belong to purged ones.
  l.endedEarly.clear();
  if (epoch != l.epoch) return;  // purged meanwhile
  if (id < 0 || ended)
    OneEnded(l);
  else
    l.live.insert(size_t(id));
}

void LedgerEnded(TextLedger& l, size_t id) {
  if (l.live.erase(id))
    OneEnded(l);
  else if (l.handingOver)
    l.endedEarly.insert(id);  // the end came before the id; else a purged text's
}

void LedgerGiveUp(TextLedger& l) {
  l.outstanding = 0;
  l.live.clear();
  l.endedEarly.clear();
  l.complete.Set();
  NoteOutstanding(l);
}

void LedgerPurge(TextLedger& l, DaemonJob cancel) {
  ++l.epoch;
  LedgerGiveUp(l);
  l.jobs.erase(std::remove_if(l.jobs.begin(), l.jobs.end(), [](const DaemonJob& j) { return j.say; }),
               l.jobs.end());
  l.jobs.push_front(std::move(cancel));
}

void LedgerFail(TextLedger& l, const std::string& why) {
  if (l.fault.empty()) l.fault = why;
  LedgerGiveUp(l);
  l.jobs.clear();
}

}  // namespace platform
