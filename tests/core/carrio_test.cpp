// The carrier-line receiver's timing and its sample ring.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "plugins/carrio/edge_script.h"
#include "plugins/carrio/edge_timer.h"
#include "plugins/carrio/sample_queue.h"
#include "support/edge_replay.h"

namespace vexa::carrio {
namespace {

constexpr int64_t kFrequency = 10'000'000;  // 0.1 us ticks

Edge at(bool level, int64_t us, int64_t seconds = 100) { return {level, us * 10, seconds}; }

TEST(CarrioEdgeTimer, MicrosecondsHoldForAnyCounterAndFrequency) {
  EXPECT_EQ(CEdgeTimer::microseconds(0, 5600, kFrequency), 560u);
  // An odd frequency: 3 579 545 ticks are one second.
  EXPECT_EQ(CEdgeTimer::microseconds(1000, 1000 + 3579545, 3579545), 1000000u);
  // Near the top of the counter, where ticks * 1 000 000 would overflow 64 bits.
  const int64_t top = INT64_MAX - 1000;
  EXPECT_EQ(CEdgeTimer::microseconds(top - 3 * kFrequency, top, kFrequency), 3000000u);
  EXPECT_EQ(CEdgeTimer::microseconds(500, 400, kFrequency), 0u);
}

TEST(CarrioEdgeTimer, IntervalsAwayFromIdleArePulsesAndTheLongestAreDropped) {
  // Idle high: going low ends a space, coming back high ends a pulse.
  CEdgeTimer timer(true, kFrequency, at(true, 0));
  EdgeResult r = timer.onEdge(at(false, 9000));
  ASSERT_TRUE(r.sample);
  EXPECT_EQ(*r.sample, 9000u);
  r = timer.onEdge(at(true, 9000 + 560));
  ASSERT_TRUE(r.sample);
  EXPECT_EQ(*r.sample, kPulseBit | 560u);
  r = timer.onEdge(at(false, 9560 + 498999));
  ASSERT_TRUE(r.sample);
  EXPECT_EQ(*r.sample, 498999u);
  r = timer.onEdge(at(true, 9560 + 498999 + 499000));
  EXPECT_FALSE(r.sample);
  EXPECT_FALSE(r.emptyQueue);
}

TEST(CarrioEdgeTimer, ASilenceOfTwoSecondsMeasuresNothingAndEmptiesTheQueue) {
  CEdgeTimer timer(true, kFrequency, at(true, 0, 100));
  // One calendar second later is still measured (if short enough on the counter).
  EdgeResult r = timer.onEdge(at(false, 300, 101));
  EXPECT_TRUE(r.sample);
  // Two calendar seconds: no sample, whatever the counter says.
  r = timer.onEdge(at(true, 600, 103));
  EXPECT_FALSE(r.sample);
  EXPECT_TRUE(r.emptyQueue);
  // The next interval is measured from the edge that ended the silence (the line
  // rested low, so low is idle now and the 4500 us spent high were a pulse).
  r = timer.onEdge(at(false, 600 + 4500, 103));
  ASSERT_TRUE(r.sample);
  EXPECT_EQ(*r.sample, kPulseBit | 4500u);
}

TEST(CarrioEdgeTimer, AFirstEdgeTowardsIdleAfterSilenceFlipsTheIdleLevel) {
  // The line was taken for idle high but rested low: the first edge after the
  // silence goes high, towards the assumed idle level.
  CEdgeTimer timer(true, kFrequency, at(false, 0, 100));
  EdgeResult r = timer.onEdge(at(true, 10, 105));
  EXPECT_TRUE(r.emptyQueue);
  EXPECT_FALSE(timer.idleLevel());
  // From then on pulses are the intervals spent high.
  r = timer.onEdge(at(false, 10 + 560, 105));
  ASSERT_TRUE(r.sample);
  EXPECT_EQ(*r.sample, kPulseBit | 560u);
  // An edge away from idle after a silence flips nothing.
  r = timer.onEdge(at(true, 700, 110));
  EXPECT_TRUE(r.emptyQueue);
  EXPECT_FALSE(timer.idleLevel());
}

// Bi-phase frames end in a half-bit space that a held button's gap continues:
// the line shows one space, not a fall in between.
TEST(CarrioEdgeScript, NeighboursOfOnePolarityAreOneIntervalOnTheLine) {
  const std::vector<uint32_t> frames{kPulseBit | 889, 889, kPulseBit | 1778, 889, 90000,
                                     kPulseBit | 889, 889, kPulseBit | 889, 889};
  EXPECT_EQ(test::replayEdgeScript(edgeScript(frames, 600000)),
            (std::vector<uint32_t>{kPulseBit | 889, 889, kPulseBit | 1778, 90889, kPulseBit | 889, 889, kPulseBit | 889}));
  // A leading space is part of the rest before the first pulse.
  EXPECT_EQ(edgeScript(std::vector<uint32_t>{700, kPulseBit | 560}, 1000), "1700 0\n560 1\n");
  EXPECT_EQ(edgeScript(std::vector<uint32_t>{700}, 1000), "");
}

TEST(CarrioEdgeScript, LinesAreParsedStrictlyAndOverlongOnesDroppedWhole) {
  EXPECT_EQ(parseEdgeLine("560 1\r")->afterUs, 560u);
  EXPECT_FALSE(parseEdgeLine("560 2"));
  EXPECT_FALSE(parseEdgeLine("-5 1"));
  EXPECT_FALSE(parseEdgeLine("5x 1"));
  CLineCollector lines;
  for (char c : std::string(100, '7') + " 1\n12 0\n3") lines.add(c);
  EXPECT_EQ(lines.take(), "12 0");
  EXPECT_FALSE(lines.take());
}

class CRecordingSignal : public IReadySignal {
 public:
  void set() override { state = true; }
  void reset() override { state = false; }
  std::atomic<bool> state{false};
};

TEST(CarrioSampleQueue, HoldsAFullRingAndTheNextSampleEmptiesIt) {
  CRecordingSignal ready;
  CSampleQueue queue(ready);
  EXPECT_FALSE(queue.pop());
  for (uint32_t i = 0; i < CSampleQueue::kCapacity; ++i) ASSERT_TRUE(queue.push(i)) << i;
  EXPECT_TRUE(ready.state);
  EXPECT_FALSE(queue.push(9999));  // the 2049th undelivered sample
  EXPECT_TRUE(queue.empty());
  EXPECT_FALSE(ready.state);
  // The ring works on after an overflow, in order and across its end.
  for (uint32_t round = 0; round < 3; ++round) {
    for (uint32_t i = 0; i < 1500; ++i) ASSERT_TRUE(queue.push(round * 10000 + i));
    for (uint32_t i = 0; i < 1500; ++i) ASSERT_EQ(queue.pop(), round * 10000 + i);
    EXPECT_FALSE(ready.state);
  }
}

TEST(CarrioSampleQueue, ClearingDropsEverythingAndResetsTheSignal) {
  CRecordingSignal ready;
  CSampleQueue queue(ready);
  queue.push(1);
  queue.push(2);
  queue.clear();
  EXPECT_FALSE(ready.state);
  EXPECT_FALSE(queue.pop());
  queue.push(3);
  EXPECT_EQ(queue.pop(), 3u);
}

}  // namespace
}  // namespace vexa::carrio
