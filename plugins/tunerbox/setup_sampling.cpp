#include "plugins/tunerbox/setup_sampling.h"

#include <algorithm>

#include "plugins/tunerbox/setup_analysis.h"

namespace vexa::tunerbox {

CButtonCapture::Event CButtonCapture::add(uint32_t sample) {
  const uint32_t value = sample & initMask_;
  if (!down_) {
    if (value == idle_) return Event::kNone;
    down_ = value;
    return Event::kDown;
  }
  if (up_ || value == *down_) return Event::kNone;
  up_ = value;
  return Event::kUp;
}

bool CButtonCollection::add(uint32_t sample) {
  const uint32_t value = sample & initMask_;
  if (std::find(values_.begin(), values_.end(), value) != values_.end()) return false;
  values_.push_back(value);
  return true;
}

bool CButtonCollection::enough() const { return values_.size() >= kMinButtonValues; }

}  // namespace vexa::tunerbox
