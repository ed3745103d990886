#include "vexa/exec/actions/keystroke_text.h"

#include <cstdio>
#include <string>

#include "vexa/base/utf8.h"

namespace vexa {

namespace {

bool isHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int hexValue(char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; }

// One "{...}" token from just after its "{"; `pos` ends after the "}".
std::optional<KeyPress> braceToken(std::string_view text, size_t& pos) {
  const size_t close = text.find('}', pos);
  if (close == std::string_view::npos) return std::nullopt;  // unterminated: never read past the end
  const std::string_view body = text.substr(pos, close - pos);
  pos = close + 1;
  KeyPress key;
  size_t i = 0;
  for (; i < body.size(); ++i) {
    const char c = static_cast<char>(body[i] | 0x20);
    if (c == 'a') key.alt = true;
    else if (c == 'c') key.control = true;
    else if (c == 's') key.shift = true;
    else break;
  }
  unsigned code = 0;
  int digits = 0;
  if (i + 1 < body.size() && body[i] == '0' && (body[i + 1] == 'x' || body[i + 1] == 'X')) {
    for (i += 2; i < body.size() && digits < 2 && isHex(body[i]); ++i, ++digits) code = code * 16 + hexValue(body[i]);
  } else {
    for (; i < body.size() && digits < 3 && body[i] >= '0' && body[i] <= '9'; ++i, ++digits)
      code = code * 10 + (body[i] - '0');
  }
  if (digits == 0 || code == 0 || code > 255) return std::nullopt;
  key.virtualKey = static_cast<uint8_t>(code);
  return key;
}

}  // namespace

KeystrokeText parseKeystrokeText(std::string_view text, const KeyLayout& layout) {
  KeystrokeText out;
  size_t pos = 0;
  while (pos < text.size()) {
    std::optional<KeyPress> key;
    if (text.compare(pos, 2, "{{") == 0 || text.compare(pos, 2, "}}") == 0) {
      key = layout(static_cast<char32_t>(text[pos]));
      pos += 2;
    } else if (text[pos] == '{') {
      ++pos;
      key = braceToken(text, pos);
    } else {
      key = layout(nextCodePoint(text, pos));
    }
    if (!key) {
      out.complete = false;
      break;
    }
    out.keys.push_back(*key);
  }
  return out;
}

std::string hotKeyToken(uint8_t virtualKey, bool control, bool alt, bool shift) {
  constexpr uint8_t kShift = 0x10, kControl = 0x11, kAlt = 0x12;
  if (virtualKey == kShift || virtualKey == kControl || virtualKey == kAlt || virtualKey == 0) return {};
  char code[8];
  std::snprintf(code, sizeof code, "0x%02x", virtualKey);
  return std::string("{") + (control ? "C" : "") + (alt ? "A" : "") + (shift ? "S" : "") + code + "}";
}

}  // namespace vexa
