// What a speech-dispatcher connection has in hand: a purge drops the texts
// not yet sent and cancels before anything else; late reports of purged
// texts leave nothing behind; a daemon given up gets nothing more.
#include "platform/voices/src/speechd_ledger.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace platform {
namespace {

using Texts = std::vector<std::string>;

// The connection's thread takes the next job and hands its text over.
void HandOver(TextLedger& l) {
  l.jobs.pop_front();
  l.handingOver = true;
}

TEST(SpeechdLedger, APurgeDropsUnsentTextsCancelsFirstAndForgetsTheirIds) {
  TextLedger l;
  Texts ran;
  for (const char* t : {"um", "dois", "tres"}) LedgerQueueText(l, [&ran, t] { ran.push_back(t); });
  EXPECT_EQ(l.outstanding, 3);
  EXPECT_FALSE(l.complete.Wait(0));
  l.jobs.push_back({[&ran] { ran.push_back("lista"); }, false, false});
  HandOver(l);  // "um" is with the daemon when the key comes
  LedgerPurge(l, {[&ran] { ran.push_back("cancela"); }});
  while (!l.jobs.empty()) {
    l.jobs.front().run();
    l.jobs.pop_front();
  }
  EXPECT_EQ(ran, (Texts{"cancela", "lista"}));
  EXPECT_TRUE(l.complete.Wait(0));
  // The cancel of "um" comes before its id, then the id; texts purged long
  // ago report their cancels late.
  LedgerEnded(l, 7);
  LedgerTextQueued(l, 7, 0);
  LedgerEnded(l, 5);
  LedgerEnded(l, 6);
  EXPECT_TRUE(l.live.empty());
  EXPECT_TRUE(l.endedEarly.empty());
  EXPECT_EQ(l.outstanding, 0);
  // After the purge: an end that comes before its id, and one after.
  LedgerQueueText(l, [] {});
  HandOver(l);
  LedgerEnded(l, 9);
  LedgerTextQueued(l, 9, l.epoch);
  EXPECT_EQ(l.outstanding, 0);
  LedgerQueueText(l, [] {});
  HandOver(l);
  LedgerTextQueued(l, 10, l.epoch);
  EXPECT_EQ(l.live, (std::set<size_t>{10}));
  EXPECT_FALSE(l.complete.Wait(0));
  LedgerEnded(l, 10);
  EXPECT_TRUE(l.live.empty());
  EXPECT_TRUE(l.complete.Wait(0));
}

TEST(SpeechdLedger, ADaemonGivenUpGetsNothingMore) {
  TextLedger l;
  LedgerQueueText(l, [] {});
  LedgerQueueText(l, [] {});
  LedgerFail(l, "o speech-dispatcher parou de responder");
  LedgerFail(l, "o speech-dispatcher foi encerrado");
  EXPECT_TRUE(l.jobs.empty());
  EXPECT_EQ(l.outstanding, 0);
  EXPECT_TRUE(l.complete.Wait(0));
  EXPECT_EQ(l.fault, "o speech-dispatcher parou de responder");
}

}  // namespace
}  // namespace platform
