#pragma once
// The "Message" field of "PostMessage": "name:wParam:lParam", as the
// message capture writes it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexa {

namespace WindowMessage {
inline constexpr uint32_t kCommand = 0x111;
inline constexpr uint32_t kLButtonDown = 0x201;
inline constexpr uint32_t kLButtonUp = 0x202;
inline constexpr uint32_t kLButtonDblClk = 0x203;
inline constexpr uint32_t kUser = 0x400;
inline constexpr uint32_t kLastPostable = 0xBFFF;
}  // namespace WindowMessage

struct PostMessageText {
  uint32_t message = 0;  // 0 for a name not known
  uint32_t wParam = 0;
  uint32_t lParam = 0;
};

// None with fewer than two ":".
std::optional<PostMessageText> parsePostMessageText(std::string_view text);
// "0x..." (up to 8 hex digits) or unsigned decimal.
uint32_t parseMessageNumber(std::string_view text);

}  // namespace vexa
