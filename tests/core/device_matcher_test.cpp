#include <gtest/gtest.h>

#include "vexa/device/code_matcher.h"

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
