#pragma once
// The keystroke text of keystroke actions: "{{" and "}}" for braces,
// "{" modifiers code "}" for a virtual key with Alt, Control and Shift
// ("{CS0x41}" is Control+Shift+A), any other character through the
// keyboard layout.
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace vexa {

struct KeyPress {
  uint8_t virtualKey = 0;
  bool shift = false;
  bool control = false;
  bool alt = false;
  bool operator==(const KeyPress&) const = default;
};

// The key and shift state that type one character; none when the layout has no key for it.
using KeyLayout = std::function<std::optional<KeyPress>(char32_t)>;

struct KeystrokeText {
  std::vector<KeyPress> keys;
  // False when a token yielded no key: the text ends there.
  bool complete = true;
};

KeystrokeText parseKeystrokeText(std::string_view text, const KeyLayout& layout);

// The picker's token for a pressed key: "{%s%s%s0x%02x}"; empty for a
// modifier key alone.
std::string hotKeyToken(uint8_t virtualKey, bool control, bool alt, bool shift);

}  // namespace vexa
