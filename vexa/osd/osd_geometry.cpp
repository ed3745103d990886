#include "vexa/osd/osd_geometry.h"

#include <algorithm>

namespace vexa::osd {

namespace {

constexpr int kTopY = 10;
constexpr int kBottomGap = 80;
constexpr int kIconSize = 32;
constexpr uint32_t kFullLevel = 65535;

}  // namespace

int osdTop(OsdPosition position, int screenHeight) {
  switch (position) {
    case OsdPosition::Top: return kTopY;
    case OsdPosition::Center: return screenHeight / 2 - kOsdHeight / 2;
    case OsdPosition::Bottom: break;
  }
  return screenHeight - kBottomGap;
}

Rect barWindowRect(OsdPosition position, int screenWidth, int screenHeight) {
  const int top = osdTop(position, screenHeight);
  return {kOsdMargin, top, screenWidth - kOsdMargin, top + kOsdHeight};
}

Rect popupWindowRect(OsdPosition position, int screenWidth, int screenHeight, bool fullWidth) {
  if (fullWidth) return barWindowRect(position, screenWidth, screenHeight);
  const int top = osdTop(position, screenHeight);
  const int left = (screenWidth - kNarrowPopupWidth) / 2;
  return {left, top, left + kNarrowPopupWidth, top + kOsdHeight};
}

BarLayout barLayout(int clientWidth, int clientHeight) {
  BarLayout l;
  l.caption = {48, 3, 48 + std::max(0, clientWidth - 100), 3 + 28};
  l.leftIcon = {5, 3, 5 + kIconSize, 3 + kIconSize};
  l.rightIcon = {clientWidth - 45, 3, clientWidth - 45 + kIconSize, 3 + kIconSize};
  l.bar = {10, clientHeight - 25, std::max(10, clientWidth - 10), clientHeight - 5};
  return l;
}

LevelZones levelZones(const Rect& bar, uint32_t level) {
  const int width = bar.width();
  const int filled = static_cast<int>(static_cast<int64_t>(std::min(level, kFullLevel)) * width / kFullLevel);
  const int lowEnd = width * 19 / 22, middleEnd = width * 20 / 22;
  const auto zone = [&](int from, int to) {
    const int right = std::min(filled, to);
    return right > from ? Rect{bar.left + from, bar.top, bar.left + right, bar.bottom} : Rect{};
  };
  LevelZones z;
  z.low = zone(0, lowEnd);
  z.middle = zone(lowEnd, middleEnd);
  z.high = zone(middleEnd, width);
  z.rest = {bar.left + filled, bar.top, bar.right, bar.bottom};
  return z;
}

}  // namespace vexa::osd
