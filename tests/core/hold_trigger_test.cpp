#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "vexa/device/hold_trigger.h"

namespace vexa {
namespace {

using Button = CHoldTrigger::Button;
using Hold = CHoldTrigger::Hold;
using Run = CHoldTrigger::Run;

// Clock times (100 ns units) well away from zero.
constexpr uint64_t at(uint64_t ms) { return 1000000000 + 10000 * ms; }
constexpr uint32_t kTypematicMs = 300;

const int play = 0, menu = 0, stop = 0, guide = 0;  // the caller's command identities

class HoldTriggerTest : public ::testing::Test {
 protected:
  // As reception does: time first, then the record, as a repeat or as a new press.
  void report(const Button& b, uint64_t ms, const Hold& hold) {
    tick(ms);
    if (trigger.tracks(b)) {
      if (auto step = trigger.repeat(b, at(ms), kTypematicMs)) log(*step, ms);
    } else {
      trigger.press(b, hold, at(ms));
    }
  }
  void tick(uint64_t ms) { tickAt(at(ms), ms); }
  void tickAt(uint64_t now, uint64_t ms) {
    for (const auto& step : trigger.poll(now, keyDown)) log(step, ms);
  }
  void log(const CHoldTrigger::Step& step, uint64_t ms) {
    const std::string who = step.button.isHotKey() ? "key" : step.button.command;
    steps +=
        who + (step.run == Run::Short ? ":S" : ":L") + std::to_string(step.repeat) + "@" + std::to_string(ms) + " ";
    holds.push_back(step.hold);
  }
  // A remote button reported every 100 ms over [from, to].
  void hold(const Button& b, uint64_t from, uint64_t to, const Hold& h) {
    for (uint64_t ms = from; ms <= to; ms += 100) report(b, ms, h);
  }

  CHoldTrigger trigger;  // repeat time-out 250 ms
  std::set<uint32_t> down;
  CHoldTrigger::KeyDown keyDown = [this](uint32_t key) { return down.count(key) > 0; };
  std::string steps;
  std::vector<Hold> holds;
  const Button tvPlay = Button::remoteButton("TV", "Play");
  const Hold playHold{500, &play, &menu};
};

TEST_F(HoldTriggerTest, ShorterThanTheHoldTimeRunsItselfOnceAtTheTimeOutAndExactlyItRunsTheHeldCommand) {
  hold(tvPlay, 0, 400, playHold);
  tick(650);  // last arrival 400 + 250: still within the time-out
  tickAt(at(650) + 1, 651);
  tick(3000);
  hold(tvPlay, 4000, 4400, playHold);
  report(tvPlay, 4499, playHold);
  report(tvPlay, 4500, playHold);
  tick(6000);
  EXPECT_EQ(steps, "Play:S0@651 Play:L0@4500 ");
  ASSERT_EQ(holds.size(), 2u);
  EXPECT_EQ(holds[0].command, &play);
  EXPECT_EQ(holds[1].target, &menu);
}

TEST_F(HoldTriggerTest, HeldLongerCountsTheHeldCommandsRepeatsAfterTheTypematicDelay) {
  hold(tvPlay, 0, 1200, playHold);
  tick(2000);
  // 600..800 lie within 300 ms of the long run and are swallowed; no short ever.
  EXPECT_EQ(steps, "Play:L0@500 Play:L1@900 Play:L2@1000 Play:L3@1100 Play:L4@1200 ");
}

TEST_F(HoldTriggerTest, RepeatsThatStartAgainAreANewPressDecidedOnItsOwn) {
  hold(tvPlay, 0, 300, playHold);
  hold(tvPlay, 700, 1300, playHold);  // the gap ends the first press at 700
  tick(2000);
  hold(tvPlay, 3000, 3200, playHold);
  tick(4000);
  EXPECT_EQ(steps, "Play:S0@700 Play:L0@1200 Play:S0@4000 ");
}

TEST_F(HoldTriggerTest, InterleavedButtonsAreDecidedIndependently) {
  const Hold stopHold{1000, &stop, &guide};
  const char* const names[] = {"Play", "PLAY", "play"};
  for (uint64_t ms = 0; ms <= 700; ms += 100) {
    report(Button::remoteButton(ms % 200 ? "tv" : "TV", names[ms / 100 % 3]), ms, playHold);
    if (ms < 400) report(Button::remoteButton("TV", "Stop"), ms + 50, stopHold);
  }
  EXPECT_TRUE(trigger.tracks(Button::remoteButton("tV", "pLAY")));
  EXPECT_FALSE(trigger.tracks(Button::remoteButton("Radio", "Play")));
  tick(2000);
  EXPECT_EQ(steps, "Play:L0@500 Stop:S0@700 ");
  ASSERT_EQ(holds.size(), 2u);
  EXPECT_EQ(holds[1].command, &stop);
}

TEST_F(HoldTriggerTest, AHotKeyIsHeldWhileItsKeyIsDown) {
  const Button key = Button::key(0x20041);
  down = {0x20041};
  report(key, 0, playHold);
  tick(300);  // no auto-repeats for longer than the repeat time-out: still held
  tick(499);
  EXPECT_EQ(steps, "");
  tick(500);
  report(key, 530, playHold);  // auto-repeats under the typematic rule
  report(key, 900, playHold);
  down.clear();
  tick(930);
  EXPECT_FALSE(trigger.tracks(key));
  EXPECT_EQ(steps, "key:L0@500 key:L1@900 ");

  steps.clear();
  down = {0x20041};
  report(key, 1000, playHold);
  tick(1200);
  down.clear();
  tick(1230);
  EXPECT_EQ(steps, "key:S0@1230 ");
}

TEST_F(HoldTriggerTest, NextDeadline) {
  EXPECT_FALSE(trigger.nextDeadline(at(0)));
  trigger.setRepThreshold(100);
  report(tvPlay, 0, playHold);
  report(tvPlay, 50, playHold);
  auto next = trigger.nextDeadline(at(60));
  ASSERT_TRUE(next);
  EXPECT_GT(*next, at(150));
  EXPECT_LE(*next, at(151));
  tickAt(*next - 1, 150);
  EXPECT_EQ(steps, "");
  tickAt(*next, 151);
  EXPECT_EQ(steps, "Play:S0@151 ");

  down = {0x41};
  report(Button::key(0x41), 200, playHold);
  EXPECT_EQ(trigger.nextDeadline(at(210)), at(210 + CHoldTrigger::kKeyPollMs));
  EXPECT_EQ(trigger.nextDeadline(at(690)), at(700));  // the hold time comes before the next look
  tick(700);
  EXPECT_EQ(steps, "Play:S0@151 key:L0@700 ");
  EXPECT_EQ(trigger.nextDeadline(at(705)), at(735));  // decided: looked at until let go
  report(tvPlay, 710, playHold);
  next = trigger.nextDeadline(at(790));  // the earliest of all presses
  ASSERT_TRUE(next);
  EXPECT_GT(*next, at(810));
  EXPECT_LT(*next, at(820));
}

}  // namespace
}  // namespace vexa
