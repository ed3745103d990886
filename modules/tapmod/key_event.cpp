#include "modules/tapmod/key_event.h"

namespace tapmod {

namespace {

// Virtual-key codes of the modifiers, generic and left/right.
constexpr uint32_t kShift = 0x10, kControl = 0x11, kMenu = 0x12, kLeftWin = 0x5B, kRightWin = 0x5C;
constexpr uint32_t kLeftShift = 0xA0, kRightShift = 0xA1, kLeftControl = 0xA2, kRightControl = 0xA3,
                   kLeftMenu = 0xA4, kRightMenu = 0xA5;

}  // namespace

uint32_t keyEvent(uint16_t virtualKey, const Modifiers& held) {
  uint32_t event = virtualKey;
  if (held.ctrl) event |= 0x80000000u;
  if (held.alt) event |= 0x40000000u;
  if (held.shift)
    event |= 2u << 28;
  else if (held.win)
    event |= 1u << 28;
  return event;
}

bool trackModifier(Modifiers& held, uint32_t virtualKey, bool down) {
  switch (virtualKey) {
    case kShift: case kLeftShift: case kRightShift: held.shift = down; return true;
    case kControl: case kLeftControl: case kRightControl: held.ctrl = down; return true;
    case kMenu: case kLeftMenu: case kRightMenu: held.alt = down; return true;
    case kLeftWin: case kRightWin: held.win = down; return true;
  }
  return false;
}

bool isModifierKey(uint32_t virtualKey) {
  Modifiers scratch;
  return trackModifier(scratch, virtualKey, true);
}

}  // namespace tapmod
