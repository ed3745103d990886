#pragma once
// How the on-screen display looks and where it sits, as the settings page
// edits it and the registry keeps it ("OSDPos", "OSDTimeout", "OSDBkColor",
// "OSDTxtColor", "OSDFont", "LayoutSelector").
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vexa/base/code_page.h"

namespace vexa::osd {

enum class OsdPosition { Top, Center, Bottom };

std::string_view positionName(OsdPosition position);
// "Top", "Center" or "Bottom", case-insensitively; nothing for anything else.
std::optional<OsdPosition> parsePosition(std::string_view name);

// The 60-byte font description the registry keeps: height, width,
// escapement, orientation, weight (32-bit each), italic, underline, strike
// out, character set, precisions, quality, pitch (a byte each), and a
// 32-byte face name in the system code page.
struct OsdFont {
  static constexpr size_t kStoredSize = 60;
  static constexpr size_t kFaceSize = 32;
  int32_t height = -14;
  int32_t weight = 700;
  bool italic = false;
  std::string face = "Arial";  // UTF-8

  std::array<uint8_t, kStoredSize> encode(const ICodePage& codePage) const;
  // Nothing when the stored block is not 60 bytes long.
  static std::optional<OsdFont> decode(std::string_view bytes, const ICodePage& codePage);
};

enum class SelectorMode { SingleButton, ExtraButton };

struct OsdSettings {
  // Stored in "OSDBkColor" for a transparent background.
  static constexpr uint32_t kTransparent = 0xFFFFFFFF;
  static constexpr uint32_t kColourKey = 0x00FF00FF;  // RGB(255,0,255)
  // The command name the extra-button field starts with; it matches no command.
  static constexpr std::string_view kNoSelectorCommand = "n/a";

  uint32_t backgroundColour = 0;  // 0x00BBGGRR, or kTransparent
  uint32_t textColour = 0xFFFFFF;
  OsdFont font;
  OsdPosition position = OsdPosition::Bottom;
  uint32_t timeoutSeconds = 2;
  SelectorMode selectorMode = SelectorMode::SingleButton;
  std::string selectorCommand = std::string(kNoSelectorCommand);

  bool transparent() const { return backgroundColour == kTransparent; }
  // What the window paints as its background: the colour key when transparent.
  uint32_t paintedBackground() const { return transparent() ? kColourKey : backgroundColour; }
  // The trigger command of extra-button mode; empty in single-button mode.
  std::string selectorTrigger() const {
    return selectorMode == SelectorMode::ExtraButton ? selectorCommand : std::string();
  }
  // "LayoutSelector": empty for single-button mode, else the trigger command.
  std::string storedSelector() const { return selectorTrigger(); }
  void setStoredSelector(std::string_view stored);
};

}  // namespace vexa::osd
