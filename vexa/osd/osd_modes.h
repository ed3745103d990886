#pragma once
// The display request codes the on-screen display knows, and how a code is
// compared with the mode on show.
#include <cstdint>

namespace vexa::osd {

namespace Mode {
inline constexpr uint32_t kHide = 1;          // hide the bar, drop a pending layout selection
inline constexpr uint32_t kVolume = 101;
inline constexpr uint32_t kPanning = 102;
inline constexpr uint32_t kFader = 103;
inline constexpr uint32_t kTreble = 104;
inline constexpr uint32_t kBass = 105;
inline constexpr uint32_t kMute = 106;
inline constexpr uint32_t kShutdown = 201;
inline constexpr uint32_t kLayoutSelector = 301;
inline constexpr uint32_t kCommandPopup = 401;
inline constexpr uint32_t kTitlePopup = 502;
}  // namespace Mode

// Exactly, or by its hundred for a code that is a multiple of 100 (100
// matches 101 to 199).
constexpr bool modeMatches(uint32_t current, uint32_t code) {
  if (code != 0 && code % 100 == 0) return current / 100 == code / 100;
  return current == code;
}

constexpr bool isBarMode(uint32_t code) { return code >= 100 && code < 200; }
constexpr bool isPopupMode(uint32_t code) { return code == Mode::kCommandPopup || code == Mode::kTitlePopup; }

}  // namespace vexa::osd
