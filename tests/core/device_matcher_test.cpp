#include <gtest/gtest.h>

#include "vexa/device/code_matcher.h"
#include "vexa/device/plugin_abi.h"

using namespace vexa::device;

namespace {

DeviceCode raw(std::vector<uint8_t> bytes) {
  DeviceCode code;
  code.flags = CodeFlag::kRaw;
  code.signature = std::move(bytes);
  return code;
}

}  // namespace

TEST(DeviceCodeMatcher, FirstMatchInMapOrderWins) {
  CCodeStore store;
  store.setCode("TV", "Power", raw({1, 2, 3}));
  store.setCode("Amp", "On", raw({1, 2, 3}));
  store.setCode("Amp", "Mute", raw({4}));
  DeviceCode timing;
  timing.flags = CodeFlag::kTiming;
  store.setCode("Amp", "A-timing", timing);
  CCodeMatcher matcher(store);
  EXPECT_EQ(matcher.matchRaw({1, 2, 3}), (CodeMatch{"Amp", "On"}));
  EXPECT_EQ(matcher.matchRaw({4}), (CodeMatch{"Amp", "Mute"}));
  EXPECT_FALSE(matcher.matchRaw({1, 2}).has_value());  // same prefix, other length
  EXPECT_FALSE(matcher.matchRaw({}).has_value());      // the timing code has an empty signature
}

TEST(DeviceCodeMatcher, RepeatsUseTheCacheUntilTheStoreChanges) {
  CCodeStore store;
  store.setCode("TV", "Power", raw({7, 7}));
  CCodeMatcher matcher(store);
  ASSERT_TRUE(matcher.matchRaw({7, 7}));
  ASSERT_TRUE(matcher.matchRaw({7, 7}));
  EXPECT_EQ(matcher.walks(), 1u);
  ASSERT_EQ(store.renameCommand("TV", "Power", "Standby"), RenameResult::Renamed);
  EXPECT_EQ(matcher.matchRaw({7, 7}), (CodeMatch{"TV", "Standby"}));  // not the stale name
  EXPECT_EQ(matcher.walks(), 2u);
  store.deleteRemote("TV");
  EXPECT_FALSE(matcher.matchRaw({7, 7}).has_value());
  EXPECT_FALSE(matcher.matchRaw({7, 7}).has_value());  // a miss is not cached as a match
}

TEST(DeviceCodeMatcher, TimingSamplesMatchThroughTheStore) {
  using vexa::abi::makeSample;
  CCodeStore store;
  DeviceCode code;
  code.flags = CodeFlag::kTiming;
  code.raw = {makeSample(true, 1000), makeSample(false, 1000), makeSample(true, 2000)};
  store.setCode("TV", "Power", code);
  store.setRemoteSettings("TV", 0, 1);
  CCodeMatcher matcher(store);
  uint64_t t = 0;
  const auto feed = [&](bool timingMode) {
    TimingMatch last;
    for (uint32_t s : {makeSample(true, 1200), makeSample(false, 1000), makeSample(true, 2000)})
      last = matcher.matchTiming(s, t += 10000, timingMode);
    return last;
  };
  // 200 us off a 2000 us reference: 10 %, within the 25 % of timing mode.
  TimingMatch m = feed(true);
  EXPECT_EQ(m.outcome, vexa::CTimingMatcher::Outcome::Send);
  EXPECT_EQ(m.names, (CodeMatch{"TV", "Power"}));
  // Without timing mode a tolerance of 0 leaves only the 50 us rule.
  EXPECT_EQ(feed(false).outcome, vexa::CTimingMatcher::Outcome::None);
  // A learned tolerance of the remote takes over, and a store change is seen.
  t += 5000000;
  store.setRemoteSettings("TV", 15, 1);
  EXPECT_EQ(feed(false).outcome, vexa::CTimingMatcher::Outcome::Send);
  t += 5000000;
  store.renameCommand("TV", "Power", "Standby");
  EXPECT_EQ(feed(true).names, (CodeMatch{"TV", "Standby"}));
}
