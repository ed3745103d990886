#include <gtest/gtest.h>

#include "vexa/device/plugin_abi.h"
#include "vexa/device/signal_analysis.h"
#include "vexa/device/signal_compare.h"
#include "vexa/device/signal_generator.h"

using namespace vexa;
using vexa::abi::makeSample;

namespace {
uint32_t P(uint32_t us) { return makeSample(true, us); }
uint32_t S(uint32_t us) { return makeSample(false, us); }
}  // namespace

TEST(SignalCompare, ReferenceIgnoresHeadersAndGaps) {
  // Spaces 500..1500 (the 9000 is over four times the shortest), pulses 560.
  const Signal a{P(9000), S(4500), P(560), S(500), P(560), S(1500), P(560)};
  EXPECT_EQ(referenceDuration(a, a), 1500u);
  const Signal b{P(600), S(1900)};
  EXPECT_EQ(referenceDuration(a, b), 1900u);
  EXPECT_EQ(referenceDuration({}, {}), 0u);
}

TEST(SignalCompare, ToleranceIsPercentOfTheReference) {
  const Signal stored{P(1000), S(1000), P(1000), S(2000)};
  Signal got = stored;
  got[0] = P(1400);  // 400 of reference 2000 = 20 %
  EXPECT_TRUE(signalsAgree(got, stored, 20));
  EXPECT_FALSE(signalsAgree(got, stored, 19));
  got[0] = P(1049);  // under 50 us always agrees
  EXPECT_TRUE(signalsAgree(got, stored, 0));
  got[0] = P(1050);
  EXPECT_FALSE(signalsAgree(got, stored, 0));
  got[0] = S(1000);  // other polarity: 100 %
  EXPECT_FALSE(signalsAgree(got, stored, 99));
  EXPECT_FALSE(signalsAgree(Signal{P(1000)}, stored, 100));  // lengths differ
}

TEST(SignalCompare, ZeroReferenceOnlyAgreesAbsolutely) {
  const Signal zeros{P(0), S(0)};
  EXPECT_TRUE(signalsAgree(zeros, Signal{P(40), S(10)}, 50));
  EXPECT_FALSE(signalsAgree(zeros, Signal{P(60), S(0)}, 50));  // no division by zero
}

TEST(SignalCompare, GapsUseTheLargerDurationAndTheirPolarity) {
  EXPECT_TRUE(sampleAgrees(S(40000), S(45000), 25));   // 5000 of 45000 = 11 %
  EXPECT_FALSE(sampleAgrees(S(30000), S(45000), 25));  // 15000 of 45000 = 33 %
  EXPECT_FALSE(sampleAgrees(P(45000), S(45000), 100));
}

TEST(SignalCompare, AveragingKeepsPulsesAndNeedsEqualLengths) {
  auto avg = averageSignals(Signal{P(1000), S(501)}, Signal{P(1100), S(600)});
  ASSERT_TRUE(avg);
  EXPECT_EQ(*avg, (Signal{P(1050), S(550)}));
  EXPECT_EQ(averageSample(P(10), S(20)), P(15));
  EXPECT_FALSE(averageSignals(Signal{P(1)}, Signal{}));
}

TEST(SignalAnalysis, GapRule) {
  // The first space only starts the average; 10x before ten spaces, 5x after.
  EXPECT_FALSE(findGap(Signal{P(500), S(500), P(500), S(500), P(500), S(5000)}));
  EXPECT_EQ(findGap(Signal{P(500), S(500), P(500), S(500), P(500), S(5001)}), 5u);
  Signal s;
  for (int i = 0; i < 12; ++i) {
    s.push_back(P(500));
    s.push_back(S(500));
  }
  s.push_back(P(500));
  s.push_back(S(2600));  // over 5 x 500 once more than ten spaces were averaged
  EXPECT_EQ(findGap(s), s.size() - 1);
  Signal flat;
  for (int i = 0; i < 120; ++i) {
    flat.push_back(P(500));
    flat.push_back(S(500));
  }
  flat.push_back(S(100000));  // after more than 100 spaces nothing counts
  EXPECT_FALSE(findGap(flat));
  EXPECT_FALSE(findGap(Signal{P(500), S(500)}));
}

TEST(SignalAnalysis, SplitFindsFrameRepeatCodeAndGaps) {
  CSignalGenerator gen(1, 0);
  std::vector<uint32_t> capture;
  for (const auto& t : gen.press({IrProtocol::Nec, 0x04, 0x08}, 4)) capture.push_back(t.sample);
  const SplitResult r = splitCapture(capture, 25);
  ASSERT_TRUE(r.split) << r.failure;
  EXPECT_EQ(r.split->signal.size(), 67u);
  EXPECT_EQ(r.split->repeat, (Signal{P(9000), S(2250), P(563)}));
  EXPECT_FALSE(vexa::abi::isPulse(r.split->gap));
  EXPECT_NEAR(vexa::abi::durationOf(r.split->gap), 108000 - 67500, 1000);
  EXPECT_NEAR(vexa::abi::durationOf(r.split->repeatGap), 108000 - 11813, 10);

  // Whole frames again while held: no repeat code of their own.
  std::vector<uint32_t> sirc;
  for (const auto& t : gen.press({IrProtocol::Sirc, 1, 21}, 3)) sirc.push_back(t.sample);
  const SplitResult rs = splitCapture(sirc, 25);
  ASSERT_TRUE(rs.split);
  EXPECT_EQ(rs.split->signal.size(), 25u);
  EXPECT_TRUE(rs.split->repeat.empty());

  EXPECT_EQ(splitCapture(Signal{P(500), S(500), P(500)}, 25).failure, kMsgNoGap);
  EXPECT_EQ(splitCapture(Signal{P(500), S(500), P(500), S(90000)}, 25).failure, kMsgDifferentLengths);
}

TEST(SignalGenerator, ProtocolTimings) {
  CSignalGenerator gen(7, 0);
  const auto rc5 = gen.press({IrProtocol::Rc5, 5, 12}, 2);
  uint64_t frame = 0;
  size_t i = 0;
  for (; !(!vexa::abi::isPulse(rc5[i].sample) && vexa::abi::durationOf(rc5[i].sample) > 10000); ++i)
    frame += vexa::abi::durationOf(rc5[i].sample);
  EXPECT_EQ(frame, 14u * 1778 - 889);  // 14 bi-phase bits less the idle half of the first
  EXPECT_EQ(frame + vexa::abi::durationOf(rc5[i].sample), CSignalGenerator::periodUs(IrProtocol::Rc5));
  for (const auto& t : rc5) EXPECT_LT(vexa::abi::durationOf(t.sample), vexa::abi::kMaxDurationUs);
  // The toggle bit changes between presses: a bi-phase frame keeps its length.
  const auto again = gen.press({IrProtocol::Rc5, 5, 12}, 1);
  uint64_t second = 0;
  for (const auto& t : again) second += vexa::abi::durationOf(t.sample);
  EXPECT_EQ(second, frame);
  // Jitter stays within the share of the unit it was given.
  CSignalGenerator jittery(3, 10);
  for (const auto& t : jittery.press({IrProtocol::Sirc, 1, 1}, 1)) {
    const uint32_t d = vexa::abi::durationOf(t.sample);
    const uint32_t nominal = d > 1800 ? 2400 : d > 900 ? 1200 : 600;
    EXPECT_LE(d > nominal ? d - nominal : nominal - d, 60u);
  }
}
