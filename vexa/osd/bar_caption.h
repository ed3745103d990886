#pragma once
// What the bar display writes and how full its bar is, for each mode.
#include <cstdint>
#include <string>
#include <string_view>

namespace vexa::osd {

// A mixer value: first channel in the high 16 bits, second in the low ones.
struct ChannelLevels {
  uint32_t left = 0, right = 0;
  static ChannelLevels of(uint32_t value) { return {value >> 16, value & 0xFFFF}; }
  uint32_t louder() const { return left > right ? left : right; }
};

enum class BarIcon { None, Volume, Panning, Fader, Treble, Bass, ShutdownStepped, ShutdownCountdown, ShutdownOff };

struct BarContent {
  std::string caption;
  std::string extra;    // after the caption: the balance of panning and fader
  BarIcon icon = BarIcon::None;
  bool showBar = false;
  uint32_t level = 0;   // 0 to 65535
  bool speaker = false;  // the speaker icon on the right
  bool muted = false;    // ...crossed out
};

// Codes 101 to 106: `text` is the mixer line's name.
BarContent mixerBar(uint32_t code, std::string_view text, uint32_t value, bool muted);

// Code 201: `name` the shutdown kind, `seconds` left, `requested` the
// countdown the user asked for.
BarContent shutdownBar(std::string_view name, int seconds, int requested);

}  // namespace vexa::osd
