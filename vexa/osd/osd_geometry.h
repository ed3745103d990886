#pragma once
// Where the bar display and the popup go on the screen, and where their
// parts go inside them.
#include "vexa/osd/osd_settings.h"

namespace vexa::osd {

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

inline constexpr int kOsdHeight = 70;
inline constexpr int kOsdMargin = 30;
inline constexpr int kNarrowPopupWidth = 600;

// The y of both windows for the position on a screen this high.
int osdTop(OsdPosition position, int screenHeight);
Rect barWindowRect(OsdPosition position, int screenWidth, int screenHeight);
// Full width with margins, or 600 pixels centred.
Rect popupWindowRect(OsdPosition position, int screenWidth, int screenHeight, bool fullWidth);

// Inside the bar window, in client coordinates.
struct BarLayout {
  Rect caption;
  Rect leftIcon;
  Rect rightIcon;
  Rect bar;
};
BarLayout barLayout(int clientWidth, int clientHeight);

// The three zones of a level bar filled up to `level` (65535 = full width):
// up to 19/22 of the width, to 20/22, and above; each is empty when the
// level does not reach it. `rest` is the unfilled part.
struct LevelZones {
  Rect low, middle, high, rest;
};
LevelZones levelZones(const Rect& bar, uint32_t level);

}  // namespace vexa::osd
