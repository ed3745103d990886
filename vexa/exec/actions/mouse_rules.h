#pragma once
// The decisions of the mouse actions: movement speed from the held
// button's repeat count, directions, wheel amounts, button words, and
// positions in the absolute mouse range.
#include <cstdint>
#include <optional>
#include <string_view>

namespace vexa {

struct MouseMotion {
  int stepX = 0, stepY = 0;  // pixels per tick
  unsigned tickMs = 25;
};

// "Accel": 1 to 10; below 1 reads as 6.
int mouseAcceleration(std::string_view accel);
// None when the text names no direction.
std::optional<MouseMotion> mouseMotion(std::string_view direction, int acceleration, uint32_t repeat);

// The repeat count a "Move Mouse" uses, remembered across presses that
// follow each other within the typematic delay + 250 ms.
class CMouseRepeat {
 public:
  uint32_t next(uint32_t repeat, uint64_t nowMs, uint32_t typematicDelayMs);

 private:
  bool m_seen = false;
  uint64_t m_lastMs = 0;
  uint32_t m_repeat = 0;
};

// "Roll Mouse Wheel": one wheel event's amount; none for an empty direction.
std::optional<int> wheelAmount(std::string_view direction, std::string_view accel);

enum class MouseButton { None, Left, Middle, Right };
MouseButton mouseButtonOf(std::string_view text);

// Pixels to the absolute mouse range (0 to 65535 across the screen), clamped to it.
int32_t pixelsToMouseUnits(int64_t pixels, int32_t screenSize);
int32_t mouseUnitsToPixels(int64_t units, int32_t screenSize);

struct MouseTarget {
  int32_t x = 0, y = 0;  // pixels from the origin
};
// "Position" ("%dx%d"); a missing coordinate is the far edge.
MouseTarget mouseTargetOf(std::string_view position, int32_t screenWidth, int32_t screenHeight);

}  // namespace vexa
