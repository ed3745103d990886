#pragma once
// Turns carrier-detect line changes into timing samples: the interval that just
// ended, in microseconds, with bit 31 set when the line was away from its idle
// level (a pulse). Silence of two calendar seconds or more measures nothing and
// may correct the idle level.
#include <cstdint>
#include <optional>

namespace vexa::carrio {

// One change of the line, with the clocks read the moment it was seen.
struct Edge {
  bool level = false;      // the line's new level
  int64_t counter = 0;     // high-resolution counter
  int64_t seconds = 0;     // calendar time in whole seconds
};

inline constexpr uint32_t kPulseBit = 0x80000000u;
inline constexpr uint32_t kLongestInterval = 499000;  // microseconds; this and longer are dropped
inline constexpr int64_t kSilenceSeconds = 2;

struct EdgeResult {
  std::optional<uint32_t> sample;
  bool emptyQueue = false;  // a silence ended: what is queued belongs to nothing
};

class CEdgeTimer {
 public:
  // `frequency` is the counter's ticks per second; `start` the clocks when timing began.
  CEdgeTimer(bool idleLevel, int64_t frequency, const Edge& start);

  EdgeResult onEdge(const Edge& edge);
  bool idleLevel() const { return m_idle; }

  // Microseconds between two counter readings, without overflow for any span a
  // 64-bit counter can hold; a negative span counts as none.
  static uint64_t microseconds(int64_t from, int64_t to, int64_t frequency);

 private:
  bool m_idle;
  int64_t m_frequency;
  int64_t m_lastCounter;
  int64_t m_lastSeconds;
};

}  // namespace vexa::carrio
