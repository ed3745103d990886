#pragma once
// Display modes as the "Change display mode" choices write them:
// "%dx%d %d-Bit", with " @%d Hz" when the mode has a refresh rate.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexa {

struct DisplayMode {
  uint32_t width = 0, height = 0, bitsPerPixel = 0;
  uint32_t frequency = 0;  // 0: any (in a request) or not reported (in a mode)
  bool operator==(const DisplayMode&) const = default;
};

std::string displayModeText(const DisplayMode& mode);
// None when the text has no width.
std::optional<DisplayMode> parseDisplayModeText(std::string_view text);
bool displayModeFits(const DisplayMode& wanted, const DisplayMode& offered);

// The TV-out value the "Parameter" field selects: "TV" 1, "VGA+TV" 2, else 0.
uint32_t tvOutSetting(std::string_view parameter);

}  // namespace vexa
