#include <gtest/gtest.h>

#include "vexa/device/repeat_filter.h"

using namespace vexa;
using V = CRepeatFilter::Verdict;

namespace {
constexpr uint64_t ms(uint64_t v) { return 10000 * v + 1000000000; }
}  // namespace

TEST(RepeatFilter, TypematicDelaySwallowsTheFirstRepeat) {
  CRepeatFilter f;
  f.setRepThreshold(500);
  auto d = f.onRecord("TV", "Play", 0, ms(0), 300);
  EXPECT_EQ(d.verdict, V::Accepted);
  EXPECT_EQ(d.repeat, 0);
  EXPECT_EQ(f.onRecord("TV", "Play", 0, ms(100), 300).verdict, V::Swallowed);
  d = f.onRecord("TV", "Play", 0, ms(350), 300);
  EXPECT_EQ(d.verdict, V::Accepted);
  EXPECT_EQ(d.repeat, 1);
  d = f.onRecord("tv", "PLAY", 0, ms(450), 300);  // names compare case-insensitively
  EXPECT_EQ(d.repeat, 2);
  d = f.onRecord("TV", "Play", 0, ms(1000), 300);  // after the timeout: a new press
  EXPECT_EQ(d.repeat, 0);
}

TEST(RepeatFilter, AnotherButtonOrRemoteIsANewPress) {
  CRepeatFilter f;
  f.setRepThreshold(500);
  f.onRecord("TV", "Play", 0, ms(0), 0);
  EXPECT_EQ(f.onRecord("TV", "Play", 0, ms(50), 0).repeat, 1);
  auto d = f.onRecord("TV", "Stop", 0, ms(100), 0);
  EXPECT_EQ(d.verdict, V::Accepted);
  EXPECT_EQ(d.repeat, 0);
  d = f.onRecord("Radio", "Stop", 0, ms(150), 0);  // same button name, other remote
  EXPECT_EQ(d.repeat, 0);
  EXPECT_EQ(f.onRecord("Radio", "Stop", 0, ms(200), 0).repeat, 1);
}

TEST(RepeatFilter, NothingPassesWhileTheDeviceIsNotReady) {
  CRepeatFilter f;
  f.setDeviceReady(false);
  EXPECT_EQ(f.onRecord("TV", "Play", 0, ms(0), 0).verdict, V::Dropped);
  f.setDeviceReady(true);
  EXPECT_EQ(f.onRecord("TV", "Play", 0, ms(1), 0).verdict, V::Accepted);
}

TEST(HookKeys, ModifiersMapToHotKeyBits) {
  EXPECT_EQ(hotKeyFromHookEvent(0x41).hotKey, 0x41u);
  EXPECT_EQ(hotKeyFromHookEvent(0x80000041).hotKey, 0x20041u);
  EXPECT_EQ(hotKeyFromHookEvent(0x40000041).hotKey, 0x40041u);
  EXPECT_EQ(hotKeyFromHookEvent(0x20000041).hotKey, 0x10041u);
  EXPECT_EQ(hotKeyFromHookEvent(0x10000041).hotKey, 0x80041u);
  EXPECT_TRUE(hotKeyFromHookEvent(0x30000041).special);
  EXPECT_EQ(hotKeyFromHookEvent(0x30000041).hotKey, 0x41u);
}
