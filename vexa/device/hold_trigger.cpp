#include "vexa/device/hold_trigger.h"

#include <algorithm>

#include "vexa/base/strings.h"

namespace vexa {

namespace {
constexpr uint64_t kUnitsPerMs = 10000;
}  // namespace

CHoldTrigger::Button CHoldTrigger::Button::remoteButton(std::string_view remote, std::string_view command) {
  Button b;
  b.remote = std::string(remote);
  b.command = std::string(command);
  return b;
}

CHoldTrigger::Button CHoldTrigger::Button::key(uint32_t hotKey) {
  Button b;
  b.hotKey = hotKey;
  return b;
}

bool CHoldTrigger::Button::same(const Button& other) const {
  if (isHotKey() || other.isHotKey()) return hotKey == other.hotKey;
  return iequals(remote, other.remote) && iequals(command, other.command);
}

CHoldTrigger::Press* CHoldTrigger::find(const Button& button) {
  for (Press& p : presses_)
    if (p.button.same(button)) return &p;
  return nullptr;
}

const CHoldTrigger::Press* CHoldTrigger::find(const Button& button) const {
  return const_cast<CHoldTrigger*>(this)->find(button);
}

bool CHoldTrigger::tracks(const Button& button) const { return find(button) != nullptr; }

void CHoldTrigger::press(const Button& button, const Hold& hold, uint64_t now100ns) {
  Press p;
  p.button = button;
  p.hold = hold;
  p.start = p.lastArrival = now100ns;
  if (Press* old = find(button))
    *old = std::move(p);
  else
    presses_.push_back(std::move(p));
}

CHoldTrigger::Step CHoldTrigger::longStep(Press& press, uint64_t now100ns) {
  press.lastAccepted = now100ns;
  return Step{Run::Long, press.button, press.hold, press.counter};
}

std::optional<CHoldTrigger::Step> CHoldTrigger::repeat(const Button& button, uint64_t now100ns,
                                                       uint32_t typematicDelayMs) {
  Press* p = find(button);
  if (!p) return std::nullopt;
  p->lastArrival = now100ns;
  if (!p->decided) {
    if (now100ns - p->start < static_cast<uint64_t>(p->hold.holdMs) * kUnitsPerMs) return std::nullopt;
    p->decided = true;
    return longStep(*p, now100ns);
  }
  // The held command's own repeats follow the rule every held button follows.
  if (p->counter == 0 && now100ns - p->lastAccepted <= static_cast<uint64_t>(typematicDelayMs) * kUnitsPerMs)
    return std::nullopt;
  ++p->counter;
  return longStep(*p, now100ns);
}

bool CHoldTrigger::timedOut(const Press& press, uint64_t now100ns) const {
  return now100ns - press.lastArrival > static_cast<uint64_t>(repThresholdMs_) * kUnitsPerMs;
}

std::vector<CHoldTrigger::Step> CHoldTrigger::poll(uint64_t now100ns, const KeyDown& keyDown) {
  std::vector<Step> steps;
  for (auto it = presses_.begin(); it != presses_.end();) {
    Press& p = *it;
    const bool ended = p.button.isHotKey() ? !(keyDown && keyDown(p.button.hotKey)) : timedOut(p, now100ns);
    if (ended) {
      if (!p.decided) steps.push_back(Step{Run::Short, p.button, p.hold, 0});
      it = presses_.erase(it);
      continue;
    }
    // A key held down decides by the clock; a remote's repeats decide as they come.
    if (p.button.isHotKey() && !p.decided &&
        now100ns - p.start >= static_cast<uint64_t>(p.hold.holdMs) * kUnitsPerMs) {
      p.decided = true;
      steps.push_back(longStep(p, now100ns));
    }
    ++it;
  }
  return steps;
}

std::optional<uint64_t> CHoldTrigger::nextDeadline(uint64_t now100ns) const {
  std::optional<uint64_t> next;
  const auto earliest = [&next](uint64_t at) { next = next ? std::min(*next, at) : at; };
  for (const Press& p : presses_) {
    if (p.button.isHotKey()) {
      uint64_t at = now100ns + static_cast<uint64_t>(kKeyPollMs) * kUnitsPerMs;
      if (!p.decided) at = std::min(at, std::max(now100ns, p.start + static_cast<uint64_t>(p.hold.holdMs) * kUnitsPerMs));
      earliest(at);
    } else {
      // The first moment the press counts as ended.
      earliest(p.lastArrival + static_cast<uint64_t>(repThresholdMs_) * kUnitsPerMs + 1);
    }
  }
  return next;
}

}  // namespace vexa
