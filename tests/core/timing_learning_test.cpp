#include <gtest/gtest.h>

#include <cstdio>

#include "tests/core/learn_harness.h"
#include "vexa/device/byte_learner.h"
#include "vexa/device/learn_result.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/device/timing_matcher.h"

using namespace vexa;
using vexa::abi::makeSample;

namespace {

uint32_t P(uint32_t us) { return makeSample(true, us); }
uint32_t S(uint32_t us) { return makeSample(false, us); }

struct Learning {
  explicit Learning(int tolerance = 25) : learner(view, tolerance, 2) {}
  RecordingView view;
  CTimingLearner learner;
};

// Two long holds, then short presses until the learner is satisfied.
bool learn(Learning& l, CSignalGenerator& gen, const IrButton& button) {
  const int hold = button.protocol == IrProtocol::Nec ? 45 : 12;
  for (int press = 0; press < 12 && !l.learner.complete(); ++press)
    feed(l.view, l.learner, gen.press(button, press < 2 ? hold : 2));
  runTimers(l.view, l.learner, gen.nowUs());
  return l.learner.complete();
}

struct Figures {
  int recognised = 0;
  int confused = 0;
};

// Learns every button of a remote, then presses buttons at random and counts
// presses recognised as themselves and presses taken for another button.
Figures recognition(IrProtocol protocol, int tolerance, int presses) {
  CSignalGenerator gen(1234, 10);
  std::vector<TimingEntry> entries;
  const uint32_t commands[] = {0x01, 0x02, 0x10, 0x15, 0x2A, 0x3F, 0x20, 0x0C};
  for (uint32_t c : commands) {
    Learning l(tolerance);
    if (!learn(l, gen, {protocol, 5, c})) return {};
    entries.push_back({"Remote", "B" + std::to_string(c), tolerance, l.learner.result()});
  }
  CTimingMatcher matcher;
  matcher.setEntries(entries);
  std::mt19937 pick(99);
  Figures f;
  for (int i = 0; i < presses; ++i) {
    const size_t which = pick() % std::size(commands);
    const int frames = 1 + static_cast<int>(pick() % 3);
    bool self = false, other = false;
    for (const auto& s : gen.press({protocol, 5, commands[which]}, frames)) {
      const auto r = matcher.onSample(s.sample, s.endUs * 10);
      if (r.outcome == CTimingMatcher::Outcome::Send || r.outcome == CTimingMatcher::Outcome::SendAndRepeat)
        (r.entry == &matcher.entries()[which] ? self : other) = true;
    }
    f.recognised += self && !other;
    f.confused += other;
  }
  return f;
}

}  // namespace

TEST(ByteLearning, IdenticalCodesFillTheBar) {
  RecordingView view;
  CByteLearner learner(view, 3);
  EXPECT_EQ(view.range, 3);
  learner.onCode({1, 2, 3});
  EXPECT_EQ(view.discards, 1);
  learner.onCode({1, 2, 3});
  EXPECT_FALSE(view.storeEnabled);
  learner.onCode({1, 2, 3});
  EXPECT_TRUE(learner.complete());
  EXPECT_TRUE(view.storeEnabled);
  EXPECT_EQ(learner.code(), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(ByteLearning, AToggleBitFailsOnTheFourthDifferentCode) {
  RecordingView view;
  CByteLearner learner(view, 5);
  learner.onCode({0x10});
  for (int i = 0; i < 3; ++i) {
    learner.onCode({0x11});
    learner.onCode({0x10});
  }
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(view.position, 4);
  learner.onCode({0x11});
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0], "The signals were not identical.\nPlease retry");
  EXPECT_EQ(view.position, 0);
  learner.onCode({0x11});  // starts over with the new code
  EXPECT_EQ(view.position, 1);
}

TEST(TimingLearning, EachProtocolIsLearnedWithItsStructure) {
  struct Case {
    IrProtocol protocol;
    uint32_t flags;
  } cases[] = {
      {IrProtocol::Nec, TimingFlag::kTimingCode | TimingFlag::kGapKnown | TimingFlag::kRepeatCode},
      {IrProtocol::Sirc, TimingFlag::kTimingCode | TimingFlag::kGapKnown},
      {IrProtocol::Rc5, TimingFlag::kTimingCode | TimingFlag::kGapKnown | TimingFlag::kToggling},
      {IrProtocol::Rc6, TimingFlag::kTimingCode | TimingFlag::kGapKnown | TimingFlag::kToggling},
  };
  for (const Case& c : cases) {
    CSignalGenerator gen(11, 10);
    Learning l;
    ASSERT_TRUE(learn(l, gen, {c.protocol, 3, 0x2A})) << static_cast<int>(c.protocol) << " " << l.view.messages.size();
    EXPECT_TRUE(l.view.messages.empty());
    EXPECT_EQ(l.learner.result().flags, c.flags) << static_cast<int>(c.protocol);
    EXPECT_EQ(l.view.range, 6);
    EXPECT_TRUE(l.view.storeEnabled);
    EXPECT_FALSE(vexa::abi::isPulse(l.learner.result().gap));
  }
}

TEST(TimingLearning, SilenceIsNeededBetweenCaptures) {
  CSignalGenerator gen(5, 0);
  Learning l;
  const IrButton b{IrProtocol::Sirc, 1, 7};
  feed(l.view, l.learner, gen.press(b, 12, 100000));  // released only 0.1 s before the next press
  EXPECT_EQ(l.learner.captureIndex(), 1);
  EXPECT_EQ(l.view.led, LedState::Red);
  feed(l.view, l.learner, gen.press(b, 12));
  EXPECT_EQ(l.learner.captureIndex(), 1);  // ignored: the LED stayed red
  EXPECT_EQ(l.view.position, 1);
  runTimers(l.view, l.learner, gen.nowUs());
  EXPECT_EQ(l.view.led, LedState::Green);
  feed(l.view, l.learner, gen.press(b, 12));
  EXPECT_EQ(l.learner.captureIndex(), 3);
}

TEST(TimingLearning, ACaptureWithoutPauseEndsAtTheLimit) {
  RecordingView view;
  CTimingLearner learner(view, 25, 2);
  uint64_t t = 0;
  for (int i = 0; i < 200; ++i) {
    t += 500;
    learner.onSample(i % 2 ? S(500) : P(500), t * 10);
  }
  EXPECT_TRUE(view.messages.empty());
  learner.onSample(P(500), (t + 500) * 10);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0], "No gap found. Please retry.");
  EXPECT_EQ(learner.captureIndex(), 0);
  EXPECT_EQ(view.position, 0);
}

TEST(TimingLearning, DifferentButtonsInTheTwoCapturesStartOver) {
  CSignalGenerator gen(2, 0);
  Learning l;
  feed(l.view, l.learner, gen.press({IrProtocol::Nec, 1, 1}, 45));
  feed(l.view, l.learner, gen.press({IrProtocol::Sirc, 1, 1}, 12));
  ASSERT_EQ(l.view.messages.size(), 1u);
  EXPECT_EQ(l.view.messages[0], "The signals were not identical. Please retry.");
  EXPECT_EQ(l.learner.captureIndex(), 0);
}

TEST(TimingLearning, StopCodeRemote) {
  // One frame on press, nothing while held, another code on release.
  const Signal press{P(3000), S(1000), P(500), S(500), P(500), S(1500), P(500)};
  const Signal release{P(3000), S(3000), P(500)};
  RecordingView view;
  CTimingLearner learner(view, 25, 2);
  uint64_t t = 1000000;
  auto send = [&](const Signal& s) {
    for (uint32_t v : s) {
      t += vexa::abi::durationOf(v);
      runTimers(view, learner, t);
      view.nowUs = t;
      learner.onSample(v, t * 10);
    }
  };
  for (int round = 0; round < 4 && !learner.complete(); ++round) {
    send(press);
    t += 900000;  // held silently
    runTimers(view, learner, t);
    send(release);
    t += 900000;
    runTimers(view, learner, t);
  }
  ASSERT_TRUE(learner.complete()) << view.position;
  EXPECT_EQ(learner.result().flags, TimingFlag::kTimingCode | TimingFlag::kStopCode);
  EXPECT_EQ(learner.result().raw, press);
  EXPECT_EQ(learner.result().stop, release);

  CTimingMatcher matcher;
  matcher.setEntries({{"R", "Power", 25, learner.result()}});
  CTimingMatcher::Outcome last = CTimingMatcher::Outcome::None;
  for (uint32_t v : press) last = matcher.onSample(v, (t += 600) * 10).outcome;
  EXPECT_EQ(last, CTimingMatcher::Outcome::SendAndRepeat);
  for (uint32_t v : release) last = matcher.onSample(v, (t += 600) * 10).outcome;
  EXPECT_EQ(last, CTimingMatcher::Outcome::Stop);
}

TEST(TimingRecognition, ThousandJitteredPressesPerProtocol) {
  // SIRC's 2.4 ms header is four of its units: with jitter it can fall under
  // four times the shortest pulse and set the reference, which brings a 0 and
  // a 1 bit within 25 %. Its remote needs a tighter tolerance.
  const struct {
    IrProtocol protocol;
    const char* name;
    int tolerance;
  } cases[] = {{IrProtocol::Nec, "NEC", 25}, {IrProtocol::Rc5, "RC5", 25}, {IrProtocol::Rc6, "RC6", 25},
               {IrProtocol::Sirc, "SIRC", 15}};
  for (const auto& c : cases) {
    const Figures f = recognition(c.protocol, c.tolerance, 1000);
    std::printf("[ figures  ] %s at %d %%: %d/1000 presses recognised, %d taken for another button\n", c.name,
                c.tolerance, f.recognised, f.confused);
    EXPECT_EQ(f.recognised, 1000) << c.name;
    EXPECT_EQ(f.confused, 0) << c.name;
  }
  const Figures loose = recognition(IrProtocol::Sirc, 25, 1000);
  std::printf("[ figures  ] SIRC at 25 %%: %d/1000 presses recognised, %d taken for another button\n",
              loose.recognised, loose.confused);
}

TEST(TimingMatching, GapSampleIsABoundary) {
  LearnedTiming code;
  code.flags = TimingFlag::kTimingCode | TimingFlag::kGapKnown;
  code.raw = {P(1000), S(1000), P(1000)};
  code.gap = code.repeatGap = S(40000);
  CTimingMatcher m;
  m.setEntries({{"R", "A", 25, code}});
  m.onSample(P(1000), 10);
  m.onSample(S(1000), 20);
  EXPECT_EQ(m.onSample(S(42000), 30).outcome, CTimingMatcher::Outcome::Boundary);
  EXPECT_EQ(m.bufferSize(), 0u);
  m.onSample(P(1000), 40);
  m.onSample(S(1000), 50);
  EXPECT_EQ(m.onSample(P(1000), 60).outcome, CTimingMatcher::Outcome::Send);
}

TEST(TimingMatching, PausesLongSamplesAndNoise) {
  LearnedTiming code;
  code.raw = {P(1000), S(1000), P(1000)};
  CTimingMatcher m;
  m.setEntries({{"R", "A", 0, code}});
  m.onSample(P(1000), 0);
  m.onSample(S(1000), 10000);
  // More than 0.3 s later the half-received frame is forgotten.
  EXPECT_EQ(m.onSample(P(1040), 3020000).outcome, CTimingMatcher::Outcome::None);
  EXPECT_EQ(m.onSample(S(960), 3030000).outcome, CTimingMatcher::Outcome::None);
  EXPECT_EQ(m.onSample(P(1049), 3040000).outcome, CTimingMatcher::Outcome::Send);  // < 50 us at tolerance 0
  EXPECT_EQ(m.onSample(S(499000), 3050000).outcome, CTimingMatcher::Outcome::Ignored);
  EXPECT_EQ(m.bufferSize(), 0u);
  // Noise never grows the buffer past the longest stored signal.
  for (int i = 0; i < 10000; ++i) m.onSample(i % 2 ? S(7000) : P(7000), 3060000 + i * 10);
  EXPECT_LE(m.bufferSize(), 3u);
}

TEST(TimingMatching, StoreOrderDecides) {
  LearnedTiming code;
  code.raw = {P(1000), S(1000), P(1000)};
  CTimingMatcher m;
  m.setEntries({{"A", "First", 25, code}, {"B", "Second", 25, code}});
  m.onSample(P(1000), 0);
  m.onSample(S(1000), 10);
  const auto r = m.onSample(P(1000), 20);
  ASSERT_EQ(r.outcome, CTimingMatcher::Outcome::Send);
  EXPECT_EQ(r.entry->command, "First");
}

TEST(LearnResult, NamesCodesAndProperties) {
  using namespace vexa::device;
  EXPECT_EQ(learnNameProblem("", "Play"), kMsgEnterRemoteName);
  EXPECT_EQ(learnNameProblem("TV", ""), kMsgEnterButtonName);
  EXPECT_EQ(learnNameProblem("TV", "Play|Pause"), kMsgLearnReservedChars);
  EXPECT_EQ(learnNameProblem("T\\V", "Play"), kMsgLearnReservedChars);
  EXPECT_EQ(learnNameProblem("TV", "Play"), "");

  CCodeStore store;
  store.setCode("TV", "Play", rawDeviceCode({0x12, 0xAB}));
  EXPECT_EQ(buttonWithSameCode(store, "TV", "Other", rawDeviceCode({0x12, 0xAB}), 0), "Play");
  EXPECT_FALSE(buttonWithSameCode(store, "TV", "play", rawDeviceCode({0x12, 0xAB}), 0));  // itself
  EXPECT_FALSE(buttonWithSameCode(store, "Radio", "Other", rawDeviceCode({0x12, 0xAB}), 0));
  EXPECT_EQ(sameCodeQuestion("Play").substr(0, 42), "This button is already assigned to Play.\nI");

  EXPECT_EQ(propertiesOf(rawDeviceCode({0x12, 0xAB})).text, "12 AB ");
  LearnedTiming learned;
  learned.flags = TimingFlag::kTimingCode | TimingFlag::kGapKnown | TimingFlag::kToggling;
  learned.raw = {P(500)};
  DeviceCode timing = timingDeviceCode(learned);
  timing.flags |= CodeFlag::kDecoded | 2;
  timing.decoded = 0xBEEF;
  const PropertiesText p = propertiesOf(timing);
  EXPECT_EQ(p.caption, "Properties");
  EXPECT_EQ(p.text, " Space encoded\r\n Decoded: 0000beef\r\n Gap\r\n Toggling");
  EXPECT_EQ(effectiveTolerance(0, true), 25);
  EXPECT_EQ(effectiveTolerance(0, false), 0);
  EXPECT_EQ(effectiveTolerance(10, true), 10);
}
