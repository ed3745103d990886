#pragma once
// The polling loop's own rule on top of the receiver: right after the start a
// receiver may still show the idle state as code 0, so code 0 counts only
// once the loop has run for a second.
#include <chrono>
#include <cstdint>

namespace vexa::tunerbox {

inline constexpr std::chrono::milliseconds kPollInterval{50};
inline constexpr std::chrono::milliseconds kZeroCodeQuiet{1000};
// Reads dropped before the loop starts counting.
inline constexpr int kWarmUpReads = 2;

class CPollFilter {
 public:
  using Clock = std::chrono::steady_clock;
  void start(Clock::time_point now) { start_ = now; }
  bool accept(uint32_t code, Clock::time_point now) const { return code != 0 || now - start_ >= kZeroCodeQuiet; }

 private:
  Clock::time_point start_{};
};

}  // namespace vexa::tunerbox
