// What a speech-dispatcher connection has in hand, apart from the library
// so that its rules can be tested: the work waiting for the connection's
// thread, the texts whose end is not yet reported, what a purge drops, and
// the reports that come late (they leave nothing behind).
// The caller holds the connection's lock around every call.
#pragma once
#include <cstddef>
#include <deque>
#include <functional>
#include <set>
#include <string>

#include "platform/voices/voice_common.h"

namespace platform {

struct DaemonJob {
  std::function<void()> run;
  bool say = false;    // hands a text over; a purge drops it unsent
  bool timed = true;   // answered at once by a working daemon (a listing is not)
};

struct TextLedger {
  std::deque<DaemonJob> jobs;   // waiting for the connection's thread
  int outstanding = 0;          // texts handed over and not yet ended
  std::set<size_t> live;        // their message ids, once known
  std::set<size_t> endedEarly;  // ends reported while a text was being handed over
  bool handingOver = false;     // a say is with the daemon, its id not yet back
  unsigned epoch = 0;           // changes on every purge
  VoiceEvent complete;          // set while nothing is outstanding
  std::string fault;            // why the daemon is given up; empty while it works
  bool holdsClock = false;      // the program's clock is held while texts are out
  ~TextLedger();
};

// A text to hand over: one more outstanding, the event cleared.
void LedgerQueueText(TextLedger& l, std::function<void()> say);
// The daemon gave the id (negative: it refused) of a text queued in epoch.
void LedgerTextQueued(TextLedger& l, long id, unsigned epoch);
// The daemon reported the end (or the cancel) of a message.
void LedgerEnded(TextLedger& l, size_t id);
// Every text given up and its unsent says dropped; cancel runs before
// anything else still waiting.
void LedgerPurge(TextLedger& l, DaemonJob cancel);
// Nothing outstanding any more (the end of a text was never reported).
void LedgerGiveUp(TextLedger& l);
// The daemon is dead or frozen: nothing more goes to it.
void LedgerFail(TextLedger& l, const std::string& why);

}  // namespace platform
