#include "vexa/osd/bar_caption.h"

#include "vexa/osd/osd_modes.h"

namespace vexa::osd {

namespace {

constexpr const char* kCentre = "       CENTER";

std::string percent(long long value) { return "       " + std::to_string(value) + "%"; }

std::string panning(ChannelLevels levels) {
  if (levels.left == levels.right) return kCentre;
  const long long louder = levels.louder();
  return percent((static_cast<long long>(levels.right) - static_cast<long long>(levels.left)) * 100 / louder);
}

std::string fader(uint32_t value) {
  // The integer part of the whole expression, not of the quotient alone.
  const auto balance = static_cast<long long>(static_cast<double>(value & 0xFFFF) * 200.0 / 65534.0 - 100.0);
  return balance == 0 ? kCentre : percent(balance);
}

}  // namespace

BarContent mixerBar(uint32_t code, std::string_view text, uint32_t value, bool muted) {
  BarContent c;
  const ChannelLevels levels = ChannelLevels::of(value);
  c.speaker = true;
  c.showBar = true;
  c.level = levels.louder();
  std::string suffix;
  switch (code) {
    case Mode::kPanning:
      suffix = " Panning";
      c.icon = BarIcon::Panning;
      c.extra = panning(levels);
      break;
    case Mode::kFader:
      suffix = " Fader";
      c.icon = BarIcon::Fader;
      c.extra = fader(value);
      c.level = value & 0xFFFF;
      break;
    case Mode::kTreble:
      suffix = " Treble";
      c.icon = BarIcon::Treble;
      break;
    case Mode::kBass:
      suffix = " Bass";
      c.icon = BarIcon::Bass;
      break;
    default:
      suffix = " Volume";
      c.icon = BarIcon::Volume;
      break;
  }
  c.caption = std::string(text) + suffix;
  c.muted = muted;
  return c;
}

BarContent shutdownBar(std::string_view name, int seconds, int requested) {
  BarContent c;
  c.caption = std::string(name);
  if (seconds <= 0)
    c.caption += " OFF";
  else if (seconds < 60)
    c.caption += " " + std::to_string(seconds) + " sec";
  else
    c.caption += " " + std::to_string((seconds + 59) / 60) + " min";
  c.icon = seconds <= 0 ? BarIcon::ShutdownOff : seconds > requested ? BarIcon::ShutdownStepped : BarIcon::ShutdownCountdown;
  return c;
}

}  // namespace vexa::osd
