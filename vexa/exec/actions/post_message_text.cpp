#include "vexa/exec/actions/post_message_text.h"

#include "vexa/base/strings.h"

namespace vexa {

uint32_t parseMessageNumber(std::string_view text) {
  text = trim(text);
  uint64_t value = 0;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    int digits = 0;
    for (size_t i = 2; i < text.size() && digits < 8; ++i, ++digits) {
      const char c = asciiLower(text[i]);
      if (c >= '0' && c <= '9') value = value * 16 + (c - '0');
      else if (c >= 'a' && c <= 'f') value = value * 16 + (c - 'a' + 10);
      else break;
    }
    return static_cast<uint32_t>(value);
  }
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > 0xFFFFFFFFu) return 0xFFFFFFFFu;  // saturate rather than wrap
  }
  return static_cast<uint32_t>(value);
}

namespace {

uint32_t messageOfName(std::string_view name) {
  name = trim(name);
  if (name == "WM_COMMAND") return WindowMessage::kCommand;
  if (name == "WM_LBUTTONDOWN") return WindowMessage::kLButtonDown;
  if (name == "WM_LBUTTONUP") return WindowMessage::kLButtonUp;
  if (name == "WM_LBUTTONDBLCLK") return WindowMessage::kLButtonDblClk;
  if (name.substr(0, 8) == "WM_USER+") {
    const uint64_t n = parseMessageNumber(name.substr(8));
    // Beyond the message range it is no message at all.
    return n <= 0xFFFFu - WindowMessage::kUser ? static_cast<uint32_t>(WindowMessage::kUser + n) : 0;
  }
  return 0;
}

}  // namespace

std::optional<PostMessageText> parsePostMessageText(std::string_view text) {
  const size_t first = text.find(':');
  if (first == std::string_view::npos) return std::nullopt;
  const size_t second = text.find(':', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  PostMessageText m;
  m.message = messageOfName(text.substr(0, first));
  m.wParam = parseMessageNumber(text.substr(first + 1, second - first - 1));
  m.lParam = parseMessageNumber(text.substr(second + 1));
  return m;
}

}  // namespace vexa
