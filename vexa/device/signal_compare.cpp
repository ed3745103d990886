#include "vexa/device/signal_compare.h"

#include <algorithm>

#include "vexa/device/plugin_abi.h"

namespace vexa {

namespace {

using abi::durationOf;
using abi::isPulse;

uint32_t scaleOf(std::span<const uint32_t> s, bool pulses) {
  uint32_t shortest = UINT32_MAX;
  for (uint32_t v : s)
    if (isPulse(v) == pulses) shortest = std::min(shortest, durationOf(v));
  if (shortest == UINT32_MAX) return 0;
  const uint64_t limit = 4ull * shortest;
  uint32_t longest = 0;
  for (uint32_t v : s)
    if (isPulse(v) == pulses && durationOf(v) < limit) longest = std::max(longest, durationOf(v));
  return longest;
}

bool withinTolerance(uint32_t x, uint32_t y, uint32_t reference, int tolerancePercent) {
  const uint32_t diff = x > y ? x - y : y - x;
  if (diff < kAlwaysAgreeUs) return true;
  // A zero reference (all durations 0) can only agree by the absolute rule.
  if (reference == 0) return false;
  return static_cast<uint64_t>(diff) * 100 / reference <= static_cast<uint64_t>(std::max(tolerancePercent, 0));
}

bool pairAgrees(uint32_t x, uint32_t y, uint32_t reference, int tolerancePercent) {
  if (isPulse(x) != isPulse(y)) return tolerancePercent >= 100;  // counts as 100 percent
  return withinTolerance(durationOf(x), durationOf(y), reference, tolerancePercent);
}

}  // namespace

uint32_t signalScale(std::span<const uint32_t> s) { return std::max(scaleOf(s, false), scaleOf(s, true)); }

uint32_t referenceDuration(std::span<const uint32_t> a, std::span<const uint32_t> b) {
  return std::max(signalScale(a), signalScale(b));
}

bool signalsAgree(std::span<const uint32_t> a, std::span<const uint32_t> b, int tolerancePercent) {
  if (a.size() != b.size()) return false;
  return signalsAgreeWith(a, b, referenceDuration(a, b), tolerancePercent);
}

bool signalsAgreeWith(std::span<const uint32_t> a, std::span<const uint32_t> b, uint32_t reference,
                      int tolerancePercent) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (!pairAgrees(a[i], b[i], reference, tolerancePercent)) return false;
  return true;
}

bool sampleAgrees(uint32_t sample, uint32_t stored, int tolerancePercent) {
  if (isPulse(sample) != isPulse(stored)) return false;
  return withinTolerance(durationOf(sample), durationOf(stored), std::max(durationOf(sample), durationOf(stored)),
                         tolerancePercent);
}

bool durationsAgree(uint32_t a, uint32_t b, int tolerancePercent) {
  return withinTolerance(durationOf(a), durationOf(b), std::max(durationOf(a), durationOf(b)), tolerancePercent);
}

uint32_t averageSample(uint32_t a, uint32_t b) {
  const uint32_t mean = static_cast<uint32_t>((static_cast<uint64_t>(durationOf(a)) + durationOf(b)) / 2);
  return abi::makeSample(isPulse(a) || isPulse(b), mean);
}

std::optional<Signal> averageSignals(std::span<const uint32_t> a, std::span<const uint32_t> b) {
  if (a.size() != b.size()) return std::nullopt;
  Signal out(a.size());
  for (size_t i = 0; i < a.size(); ++i) out[i] = averageSample(a[i], b[i]);
  return out;
}

}  // namespace vexa
