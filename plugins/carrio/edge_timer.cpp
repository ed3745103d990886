#include "plugins/carrio/edge_timer.h"

namespace vexa::carrio {

CEdgeTimer::CEdgeTimer(bool idleLevel, int64_t frequency, const Edge& start)
    : m_idle(idleLevel), m_frequency(frequency > 0 ? frequency : 1), m_lastCounter(start.counter),
      m_lastSeconds(start.seconds) {}

uint64_t CEdgeTimer::microseconds(int64_t from, int64_t to, int64_t frequency) {
  if (to <= from || frequency <= 0) return 0;
  const uint64_t ticks = static_cast<uint64_t>(to) - static_cast<uint64_t>(from);
  const uint64_t f = static_cast<uint64_t>(frequency);
  // Whole seconds and the rest apart, so that ticks * 1 000 000 cannot overflow.
  return ticks / f * 1000000u + ticks % f * 1000000u / f;
}

EdgeResult CEdgeTimer::onEdge(const Edge& edge) {
  EdgeResult result;
  const bool silence = edge.seconds - m_lastSeconds >= kSilenceSeconds;
  const uint64_t us = silence ? 0 : microseconds(m_lastCounter, edge.counter, m_frequency);
  m_lastCounter = edge.counter;
  m_lastSeconds = edge.seconds;
  if (silence) {
    result.emptyQueue = true;
    // Coming back to what we took for idle after a long rest means the line had
    // rested at the other level all along.
    if (edge.level == m_idle) m_idle = !m_idle;
    return result;
  }
  if (us >= kLongestInterval) return result;
  uint32_t sample = static_cast<uint32_t>(us);
  // Back at idle: the interval that just ended was a pulse.
  if (edge.level == m_idle) sample |= kPulseBit;
  result.sample = sample;
  return result;
}

}  // namespace vexa::carrio
