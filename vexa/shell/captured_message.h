#pragma once
// What the hook module reports of another program's window messages
// (WM_COPYDATA to "Message Capture") and how the capture lists them. The data
// comes from another process: it is read only when its kind is known and it
// carries all four values.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vexa::shell {

inline constexpr uint64_t kCapturedByWndProcHook = 92;  // lParam, wParam, message, window
inline constexpr uint64_t kCapturedByMessageHook = 93;  // window, message, wParam, lParam

struct CapturedMessage {
  uint32_t window = 0, message = 0, wParam = 0, lParam = 0;
};

std::optional<CapturedMessage> readCapturedMessage(uint64_t kind, const void* data, size_t bytes);
// Only button/menu commands and left clicks are listed; null for any other message.
const char* capturedMessageName(uint32_t message);
const char* capturedMessageDescription(uint32_t message);
// "0x%08x"
std::string capturedValueText(uint32_t value);
// What the PostMessage action takes: name ":" wParam ":" lParam.
std::string capturedMessageText(const CapturedMessage& captured);

}  // namespace vexa::shell
