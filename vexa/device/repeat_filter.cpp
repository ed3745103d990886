#include "vexa/device/repeat_filter.h"

#include "vexa/base/strings.h"

namespace vexa {

bool CRepeatFilter::sameButton(std::string_view remote, std::string_view command) const {
  // The same button name on another remote is another button.
  return iequals(command, lastCommand_) && iequals(remote, lastRemote_);
}

CRepeatFilter::Decision CRepeatFilter::onRecord(std::string_view remote, std::string_view command, int32_t repeat,
                                                uint64_t now100ns, uint32_t typematicDelayMs) {
  if (!deviceReady_) return {Verdict::Dropped, repeat};
  const uint64_t sinceArrival = any_ ? now100ns - lastArrival_ : UINT64_MAX;
  if (sinceArrival > static_cast<uint64_t>(repThresholdMs_) * 10000) {
    counter_ = repeat;
  } else if (sameButton(remote, command)) {
    if (counter_ == 0 && now100ns - lastAccepted_ <= static_cast<uint64_t>(typematicDelayMs) * 10000) {
      lastArrival_ = now100ns;
      return {Verdict::Swallowed, repeat};
    }
    repeat = ++counter_;
  }
  if (!sameButton(remote, command)) {
    lastRemote_ = std::string(remote);
    lastCommand_ = std::string(command);
    counter_ = repeat;
  }
  lastArrival_ = lastAccepted_ = now100ns;
  any_ = true;
  return {Verdict::Accepted, repeat};
}

HookKey hotKeyFromHookEvent(uint32_t lParam) {
  uint32_t code = lParam & 0xFFFF;
  if (lParam & 0x80000000u) code += 0x20000;
  if (lParam & 0x40000000u) code += 0x40000;
  const uint32_t modifier = (lParam >> 28) & 3;
  if (modifier == 2) code += 0x10000;
  if (modifier == 1) code += 0x80000;
  return {code, modifier == 3};
}

}  // namespace vexa
