#pragma once
// The main window's decision for each recognised button: a new press, a
// repeat of the held button (counted), or a repeat swallowed by the
// typematic delay.
#include <cstdint>
#include <string>
#include <string_view>

namespace vexa {

class CRepeatFilter {
 public:
  static constexpr uint32_t kDefaultRepThresholdMs = 250;
  static constexpr uint32_t kDefaultTypematicDelayMs = 500;

  enum class Verdict { Dropped, Swallowed, Accepted };
  struct Decision {
    Verdict verdict;
    int32_t repeat;  // the record's repeat value after the decision
  };

  void setRepThreshold(uint32_t ms) { repThresholdMs_ = ms; }
  void setDeviceReady(bool ready) { deviceReady_ = ready; }
  bool deviceReady() const { return deviceReady_; }

  // now100ns: system time in 100 ns units; typematic delay is read each time.
  Decision onRecord(std::string_view remote, std::string_view command, int32_t repeat, uint64_t now100ns,
                    uint32_t typematicDelayMs);

 private:
  bool sameButton(std::string_view remote, std::string_view command) const;

  uint32_t repThresholdMs_ = kDefaultRepThresholdMs;
  bool deviceReady_ = true;
  std::string lastRemote_, lastCommand_;
  int32_t counter_ = 0;
  uint64_t lastArrival_ = 0;
  uint64_t lastAccepted_ = 0;
  bool any_ = false;
};

// A key event of the hook module (lParam of code 96) as a command hot key:
// virtual key in the low word, Shift 0x10000, Ctrl 0x20000, Alt 0x40000,
// extended 0x80000. `special` is set for the hook's modifier value 3.
struct HookKey {
  uint32_t hotKey;
  bool special;
};
HookKey hotKeyFromHookEvent(uint32_t lParam);

}  // namespace vexa
