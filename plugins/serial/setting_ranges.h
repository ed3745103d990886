#pragma once
// Corrections the settings pages make to numbers typed out of range, and the
// re-initialise period.
#include <cstdint>

namespace vexa::serial {

// Above 2048 becomes 1, 0 becomes 2048 (a typed wrap-around).
uint32_t correctCodeLength(uint32_t value);
// Above 10 becomes 10, 0 becomes 1.
int32_t correctLearnSamples(int32_t value);
// 256 or more becomes 255.
int32_t correctTolerance(int32_t value);

// Periods under 10 s run no re-initialisation; 0 means none.
uint32_t reinitPeriodMs(int32_t seconds);

// The burst buffer: one code plus room the reads never fill.
inline constexpr uint32_t kBurstSlack = 50;

}  // namespace vexa::serial
