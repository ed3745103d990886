#include "vexa/model/action_fields.h"

#include <algorithm>
#include <cstdio>

#include "vexa/base/strings.h"

namespace vexa {

namespace {

// The next blank-separated word of `s`, which moves past it.
std::string_view word(std::string_view& s) {
  s = trim(s);
  size_t end = 0;
  while (end < s.size() && s[end] != ' ' && s[end] != '\t') ++end;
  std::string_view w = s.substr(0, end);
  s.remove_prefix(end);
  return w;
}

std::optional<unsigned> hexNumber(std::string_view w) {
  if (w.size() > 2 && w[0] == '0' && (w[1] == 'x' || w[1] == 'X')) w.remove_prefix(2);
  if (w.empty() || w.size() > 4) return std::nullopt;
  unsigned value = 0;
  for (char c : w) {
    value <<= 4;
    if (c >= '0' && c <= '9') value |= static_cast<unsigned>(c - '0');
    else if (c >= 'a' && c <= 'f') value |= static_cast<unsigned>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F') value |= static_cast<unsigned>(c - 'A' + 10);
    else return std::nullopt;
  }
  return value;
}

}  // namespace

std::vector<KeyTableEntry> parseKeyTable(std::string_view text) {
  std::vector<KeyTableEntry> entries;
  while (!text.empty()) {
    const size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
    line = trim(line);
    if (line.empty() || line.front() == '#') continue;
    const std::string_view name = word(line);
    const auto code = hexNumber(word(line));
    if (name.empty() || !code) continue;
    entries.push_back({std::string(name), *code, std::string(trim(line))});
  }
  return entries;
}

std::string keyCodeText(unsigned code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%02X", code);
  return text;
}

std::optional<std::string> keystrokeToken(unsigned modifiers, unsigned virtualKey) {
  // VK_SHIFT, VK_CONTROL, VK_MENU and their left/right forms.
  constexpr unsigned kModifierKeys[] = {0x10, 0x11, 0x12, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
  if (virtualKey == 0 || virtualKey > 0xFF ||
      std::find(std::begin(kModifierKeys), std::end(kModifierKeys), virtualKey) != std::end(kModifierKeys))
    return std::nullopt;
  char text[32];
  std::snprintf(text, sizeof text, "{%s%s%s0x%02x}", (modifiers & KeyModifier::kAlt) ? "A" : "",
                (modifiers & KeyModifier::kControl) ? "C" : "", (modifiers & KeyModifier::kShift) ? "S" : "",
                virtualKey);
  return std::string(text);
}

void appendUnique(std::vector<std::string>& choices, std::string choice) {
  if (std::find(choices.begin(), choices.end(), choice) == choices.end()) choices.push_back(std::move(choice));
}

std::optional<size_t> choiceToKeep(const std::vector<std::string>& choices, std::string_view current) {
  if (choices.empty()) return std::nullopt;
  for (size_t i = 0; i < choices.size(); ++i)
    if (choices[i] == current) return i;
  return 0;
}

}  // namespace vexa
