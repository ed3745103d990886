#include "modules/tapmod/key_event.h"

#include <gtest/gtest.h>

#include "vexa/device/repeat_filter.h"

namespace tapmod {
namespace {

// What the program makes of a reported key: the hot key a user assigns.
uint32_t hotKeyOf(uint16_t virtualKey, const Modifiers& held) {
  const vexa::HookKey key = vexa::hotKeyFromHookEvent(keyEvent(virtualKey, held));
  EXPECT_FALSE(key.special);
  return key.hotKey;
}

TEST(KeyEvent, ReachesTheProgramAsTheHotKeyAUserAssigns) {
  EXPECT_EQ(hotKeyOf(0x41, {}), 0x41u);
  EXPECT_EQ(hotKeyOf(0x71, {.ctrl = true}), 0x20071u);
  EXPECT_EQ(hotKeyOf(0x71, {.alt = true}), 0x40071u);
  EXPECT_EQ(hotKeyOf(0x41, {.shift = true}), 0x10041u);
  EXPECT_EQ(hotKeyOf(0x41, {.win = true}), 0x80041u);
  EXPECT_EQ(hotKeyOf(0x41, {.ctrl = true, .alt = true, .shift = true}), 0x70041u);
  // The two bits hold one value: Shift is kept, never turned into the "special" 3.
  EXPECT_EQ(hotKeyOf(0x41, {.shift = true, .win = true}), 0x10041u);
}

TEST(KeyEvent, ModifiersAreFollowedNotReported) {
  Modifiers held;
  EXPECT_TRUE(trackModifier(held, 0xA2, true));  // left Ctrl
  EXPECT_TRUE(trackModifier(held, 0x10, true));  // Shift
  EXPECT_TRUE(held.ctrl && held.shift);
  EXPECT_FALSE(trackModifier(held, 0x41, true));
  EXPECT_TRUE(trackModifier(held, 0xA3, false));  // right Ctrl up
  EXPECT_FALSE(held.ctrl);
  EXPECT_TRUE(isModifierKey(0x5B));
  EXPECT_TRUE(isModifierKey(0xA5));
  EXPECT_FALSE(isModifierKey(0x71));
  EXPECT_FALSE(isModifierKey(0x14));  // Caps Lock is a key of its own
}

}  // namespace
}  // namespace tapmod
