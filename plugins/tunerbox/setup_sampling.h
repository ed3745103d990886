#pragma once
// What the wizard makes of GPIO readings while it watches: the bits that stay
// still while idle, one button's press and release, and the distinct values
// of all buttons.
#include <cstdint>
#include <optional>
#include <vector>

namespace vexa::tunerbox {

inline constexpr int kStabilityReadings = 1000;

// Every bit that differs from the first reading in any later one is unstable.
class CStabilityMask {
 public:
  explicit CStabilityMask(uint32_t first) : first_(first) {}
  void add(uint32_t reading) { unstable_ |= reading ^ first_; }
  uint32_t first() const { return first_; }
  uint32_t mask() const { return ~unstable_; }

 private:
  uint32_t first_;
  uint32_t unstable_ = 0;
};

// One button held and released, seen through the stable bits.
class CButtonCapture {
 public:
  enum class Event { kNone, kDown, kUp };
  CButtonCapture(uint32_t gpioInit, uint32_t initMask) : idle_(gpioInit & initMask), initMask_(initMask) {}

  Event add(uint32_t sample);
  bool pressed() const { return down_.has_value(); }
  uint32_t down() const { return down_.value_or(0); }
  // The down value again when no release was seen.
  uint32_t up() const { return up_.value_or(down()); }

 private:
  uint32_t idle_, initMask_;
  std::optional<uint32_t> down_, up_;
};

// The distinct values of the buttons pressed, in the order first seen.
class CButtonCollection {
 public:
  explicit CButtonCollection(uint32_t initMask) : initMask_(initMask) {}
  // True when the sample is a value not seen before.
  bool add(uint32_t sample);
  void clear() { values_.clear(); }
  const std::vector<uint32_t>& values() const { return values_; }
  bool enough() const;

 private:
  uint32_t initMask_;
  std::vector<uint32_t> values_;
};

}  // namespace vexa::tunerbox
