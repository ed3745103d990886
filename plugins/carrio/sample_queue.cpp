#include "plugins/carrio/sample_queue.h"

namespace vexa::carrio {

bool CSampleQueue::push(uint32_t sample) {
  std::lock_guard lock(m_lock);
  if (m_count == kCapacity) {  // the host fell a whole ring behind
    clearLocked();
    return false;
  }
  m_samples[(m_read + m_count) % kCapacity] = sample;
  ++m_count;
  m_ready.set();
  return true;
}

std::optional<uint32_t> CSampleQueue::pop() {
  std::lock_guard lock(m_lock);
  if (m_count == 0) return std::nullopt;
  const uint32_t sample = m_samples[m_read];
  m_read = (m_read + 1) % kCapacity;
  if (--m_count == 0) m_ready.reset();
  return sample;
}

void CSampleQueue::clear() {
  std::lock_guard lock(m_lock);
  clearLocked();
}

void CSampleQueue::clearLocked() {
  m_read = 0;
  m_count = 0;
  m_ready.reset();
}

bool CSampleQueue::empty() const {
  std::lock_guard lock(m_lock);
  return m_count == 0;
}

}  // namespace vexa::carrio
