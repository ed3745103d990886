#include "vexa/exec/actions/mouse_rules.h"

#include <algorithm>
#include <string>

#include "vexa/base/strings.h"

namespace vexa {

int mouseAcceleration(std::string_view accel) {
  const long long a = parseInteger(accel);
  if (a < 1) return 6;
  return a > 10 ? 10 : static_cast<int>(a);
}

std::optional<MouseMotion> mouseMotion(std::string_view direction, int acceleration, uint32_t repeat) {
  const std::string d = toLower(direction);
  int dx = 0, dy = 0;
  if (d.find("north") != std::string::npos) dy = -1;
  if (d.find("south") != std::string::npos) dy = 1;
  if (d.find("west") != std::string::npos) dx = -1;
  if (d.find("east") != std::string::npos) dx = 1;
  if (dx == 0 && dy == 0) return std::nullopt;
  const int threshold = 5 - acceleration / 3;
  int factor = 1;
  if (static_cast<int64_t>(repeat) > threshold)
    factor = std::max(1, static_cast<int>((static_cast<double>(repeat) - threshold) * acceleration * 0.1 + 1));
  MouseMotion m;
  m.tickMs = static_cast<unsigned>(20 / factor + 5);
  const int step = factor / 3 + 1 < 7 ? factor / 3 + 1 : 8;
  m.stepX = step * dx;
  m.stepY = step * dy;
  return m;
}

uint32_t CMouseRepeat::next(uint32_t repeat, uint64_t nowMs, uint32_t typematicDelayMs) {
  if (m_seen && nowMs - m_lastMs < static_cast<uint64_t>(typematicDelayMs) + 250) {
    m_repeat = std::max(m_repeat, repeat);
  } else {
    m_repeat = 0;
  }
  m_seen = true;
  m_lastMs = nowMs;
  // The remembered count only bridges gaps; a fresh press still uses its own.
  return std::max(m_repeat, repeat);
}

std::optional<int> wheelAmount(std::string_view direction, std::string_view accel) {
  if (direction.empty()) return std::nullopt;
  long long amount = parseInteger(accel) * 60;
  if (amount == 0) amount = 120;
  amount = std::clamp<long long>(amount, -0x7FFF, 0x7FFF);
  if (toLower(direction).find("down") != std::string::npos) amount = -amount;
  return static_cast<int>(amount);
}

MouseButton mouseButtonOf(std::string_view text) {
  const std::string t = toLower(text);
  if (t.find("left") != std::string::npos) return MouseButton::Left;
  if (t.find("middle") != std::string::npos) return MouseButton::Middle;
  if (t.find("right") != std::string::npos) return MouseButton::Right;
  return MouseButton::None;
}

int32_t pixelsToMouseUnits(int64_t pixels, int32_t screenSize) {
  if (screenSize <= 0) return 0;
  return static_cast<int32_t>(std::clamp<int64_t>(pixels * 65535 / screenSize, 0, 65535));
}

int32_t mouseUnitsToPixels(int64_t units, int32_t screenSize) {
  return static_cast<int32_t>(std::clamp<int64_t>(units, 0, 65535) * screenSize / 65535);
}

MouseTarget mouseTargetOf(std::string_view position, int32_t screenWidth, int32_t screenHeight) {
  MouseTarget t;
  const std::string_view p = trim(position);
  t.x = p.empty() ? screenWidth : static_cast<int32_t>(std::clamp<long long>(parseInteger(p), -1000000, 1000000));
  const size_t x = p.find_first_of("xX");
  t.y = x == std::string_view::npos
            ? screenHeight
            : static_cast<int32_t>(std::clamp<long long>(parseInteger(p.substr(x + 1)), -1000000, 1000000));
  return t;
}

}  // namespace vexa
