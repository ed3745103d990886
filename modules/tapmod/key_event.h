#pragma once
// A key press as the hook module reports it to the main window (lParam of
// code 96): the virtual-key code in bits 0 to 15, Ctrl in bit 31, Alt in bit
// 30, and in bits 28-29 2 for Shift or else 1 for a Windows key.
#include <cstdint>

namespace tapmod {

struct Modifiers {
  bool ctrl = false, alt = false, shift = false, win = false;
};

uint32_t keyEvent(uint16_t virtualKey, const Modifiers& held);
// Modifier keys only change what is held; they are no hot keys of their own.
bool isModifierKey(uint32_t virtualKey);
// Follows one key going down or up; false when it is no modifier.
bool trackModifier(Modifiers& held, uint32_t virtualKey, bool down);

}  // namespace tapmod
