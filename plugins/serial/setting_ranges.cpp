#include "plugins/serial/setting_ranges.h"

#include "plugins/serial/serial_settings.h"

namespace vexa::serial {

uint32_t correctCodeLength(uint32_t value) {
  if (value > kMaxCodeLength) return 1;
  if (value == 0) return kMaxCodeLength;
  return value;
}

int32_t correctLearnSamples(int32_t value) {
  if (value > 10) return 10;
  if (value == 0) return 1;
  return value;
}

int32_t correctTolerance(int32_t value) { return value >= 256 ? 255 : value; }

uint32_t reinitPeriodMs(int32_t seconds) {
  if (seconds < 10) return 0;
  return static_cast<uint32_t>(seconds) * 1000u;
}

}  // namespace vexa::serial
