#include "vexa/shell/captured_message.h"

#include <cstdio>
#include <cstring>

namespace vexa::shell {

namespace {

struct Listed {
  uint32_t message;
  const char* name;
  const char* description;
};
constexpr Listed kListed[] = {
    {0x0111, "WM_COMMAND", "Button/Menu command"},
    {0x0201, "WM_LBUTTONDOWN", "Left mouse click"},
    {0x0203, "WM_LBUTTONDBLCLK", "Left mouse double click"},
};

const Listed* listed(uint32_t message) {
  for (const Listed& l : kListed)
    if (l.message == message) return &l;
  return nullptr;
}

}  // namespace

std::optional<CapturedMessage> readCapturedMessage(uint64_t kind, const void* data, size_t bytes) {
  uint32_t v[4];
  if (!data || bytes < sizeof(v)) return std::nullopt;
  std::memcpy(v, data, sizeof(v));
  if (kind == kCapturedByMessageHook) return CapturedMessage{v[0], v[1], v[2], v[3]};
  if (kind == kCapturedByWndProcHook) return CapturedMessage{v[3], v[2], v[1], v[0]};
  return std::nullopt;
}

const char* capturedMessageName(uint32_t message) {
  const Listed* l = listed(message);
  return l ? l->name : nullptr;
}

const char* capturedMessageDescription(uint32_t message) {
  const Listed* l = listed(message);
  return l ? l->description : nullptr;
}

std::string capturedValueText(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08x", value);
  return text;
}

std::string capturedMessageText(const CapturedMessage& captured) {
  const char* name = capturedMessageName(captured.message);
  return std::string(name ? name : "") + ":" + capturedValueText(captured.wParam) + ":" +
         capturedValueText(captured.lParam);
}

}  // namespace vexa::shell
