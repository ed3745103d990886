#include "plugins/lirc/event_line.h"

#include <algorithm>

namespace vexa::lirc {

namespace {

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

int hexValue(char c) {
  if (c <= '9') return c - '0';
  return (c | 0x20) - 'a' + 10;
}

bool allHex(std::string_view s) { return !s.empty() && std::all_of(s.begin(), s.end(), isHexDigit); }

// The next space-separated field, which must be followed by a space.
std::optional<std::string_view> takeField(std::string_view& rest) {
  const size_t space = rest.find(' ');
  if (space == std::string_view::npos) return std::nullopt;
  std::string_view field = rest.substr(0, space);
  rest.remove_prefix(space + 1);
  return field;
}

std::string capped(std::string_view name) { return std::string(name.substr(0, kMaxNameLength)); }

}  // namespace

std::optional<EventLine> parseEventLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::string_view rest = line;
  const auto code = takeField(rest);
  const auto repeat = code ? takeField(rest) : std::nullopt;
  const auto button = repeat ? takeField(rest) : std::nullopt;
  if (!button || !allHex(*code) || !allHex(*repeat) || repeat->size() > kMaxRepeatDigits) return std::nullopt;
  if (button->empty() || rest.empty()) return std::nullopt;
  int count = 0;
  for (char c : *repeat) count = count * 16 + hexValue(c);
  return EventLine{capped(*button), count, capped(rest)};
}

CLineFramer::Result CLineFramer::feed(std::string_view bytes) {
  Result out;
  while (!bytes.empty()) {
    const size_t lf = bytes.find('\n');
    const std::string_view piece = bytes.substr(0, lf);
    if (!discarding_) {
      // Never more than one byte past the limit is kept: enough to tell the line is too long.
      partial_.append(piece.substr(0, kMaxLineBytes + 1 - partial_.size()));
      if (partial_.size() > kMaxLineBytes) {
        ++out.overlong;
        discarding_ = true;
        partial_.clear();
      }
    }
    if (lf == std::string_view::npos) break;
    if (!discarding_) out.lines.push_back(std::move(partial_));
    partial_.clear();
    discarding_ = false;
    bytes.remove_prefix(lf + 1);
  }
  return out;
}

void CLineFramer::reset() {
  partial_.clear();
  discarding_ = false;
}

CUnreadableLines::Action CUnreadableLines::onUnreadable() {
  if (!boxOpen_) {
    boxOpen_ = true;
    return Action::ShowBox;
  }
  ++count_;
  return Action::Count;
}

void CUnreadableLines::boxClosed() {
  boxOpen_ = false;
  count_ = 0;
}

std::string CUnreadableLines::statusText() const {
  return std::string(kMsgFormatNotSupported) + " (" + std::to_string(count_) + " more)";
}

}  // namespace vexa::lirc
