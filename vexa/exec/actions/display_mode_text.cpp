#include "vexa/exec/actions/display_mode_text.h"

#include "vexa/base/strings.h"

namespace vexa {

std::string displayModeText(const DisplayMode& mode) {
  std::string text = std::to_string(mode.width) + "x" + std::to_string(mode.height) + " " +
                     std::to_string(mode.bitsPerPixel) + "-Bit";
  if (mode.frequency != 0) text += " @" + std::to_string(mode.frequency) + " Hz";
  return text;
}

namespace {

uint32_t numberAt(std::string_view text, size_t at) {
  if (at == std::string_view::npos || at >= text.size()) return 0;
  const long long n = parseInteger(text.substr(at));
  return n > 0 && n < 1000000 ? static_cast<uint32_t>(n) : 0;
}

}  // namespace

std::optional<DisplayMode> parseDisplayModeText(std::string_view text) {
  DisplayMode mode;
  mode.width = numberAt(text, 0);
  if (mode.width == 0) return std::nullopt;
  const size_t x = text.find('x');
  if (x == std::string_view::npos) return std::nullopt;
  mode.height = numberAt(text, x + 1);
  const size_t blank = text.find(' ', x);
  mode.bitsPerPixel = blank == std::string_view::npos ? 0 : numberAt(text, blank + 1);
  const size_t at = text.find('@');
  mode.frequency = at == std::string_view::npos ? 0 : numberAt(text, at + 1);
  return mode;
}

bool displayModeFits(const DisplayMode& wanted, const DisplayMode& offered) {
  return wanted.width == offered.width && wanted.height == offered.height &&
         wanted.bitsPerPixel == offered.bitsPerPixel && (wanted.frequency == 0 || wanted.frequency == offered.frequency);
}

uint32_t tvOutSetting(std::string_view parameter) {
  if (iequals(parameter, "TV")) return 1;
  if (iequals(parameter, "VGA+TV")) return 2;
  return 0;
}

}  // namespace vexa
