#pragma once
// How two pulse/space signals are judged the same: per sample, within a
// tolerance in percent of one reference duration for the whole comparison.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vexa {

using Signal = std::vector<uint32_t>;  // timing samples: bit 31 pulse, bits 0..30 microseconds

// Differences below this always agree, whatever the tolerance.
inline constexpr uint32_t kAlwaysAgreeUs = 50;

// The largest of, for each signal, its longest space shorter than four
// times its shortest space and its longest pulse shorter than four times its
// shortest pulse. Long headers and gaps do not set the scale.
uint32_t referenceDuration(std::span<const uint32_t> a, std::span<const uint32_t> b);

// One signal's share of the reference: the larger of its two polarity scales.
uint32_t signalScale(std::span<const uint32_t> s);

// Equal length, and every pair of the same polarity within the tolerance.
bool signalsAgree(std::span<const uint32_t> a, std::span<const uint32_t> b, int tolerancePercent);
// The same with the reference already known (max of both signals' scales).
bool signalsAgreeWith(std::span<const uint32_t> a, std::span<const uint32_t> b, uint32_t reference,
                      int tolerancePercent);

// One sample against one stored duration (a gap): same polarity, the larger
// of the two being the reference.
bool sampleAgrees(uint32_t sample, uint32_t stored, int tolerancePercent);
// Two plain durations, the larger being the reference.
bool durationsAgree(uint32_t a, uint32_t b, int tolerancePercent);

// Mean durations, pulse when either is; none when the lengths differ.
std::optional<Signal> averageSignals(std::span<const uint32_t> a, std::span<const uint32_t> b);
uint32_t averageSample(uint32_t a, uint32_t b);

}  // namespace vexa
