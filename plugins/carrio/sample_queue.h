#pragma once
// The ring of timing samples between the timing thread (producer) and the host's
// monitor thread (consumer). One lock guards the indices, and the data-ready
// signal is set and reset only under it. The producer never waits for the consumer:
// when a sample finds all 2048 places taken, the ring is emptied.
#include <array>
#include <cstdint>
#include <mutex>
#include <optional>

namespace vexa::carrio {

// The data-ready event: set while the ring holds samples.
class IReadySignal {
 public:
  virtual ~IReadySignal() = default;
  virtual void set() = 0;
  virtual void reset() = 0;
};

class CSampleQueue {
 public:
  static constexpr size_t kCapacity = 2048;

  explicit CSampleQueue(IReadySignal& ready) : m_ready(ready) {}

  // False when the ring overflowed and was emptied (this sample is lost with the rest).
  bool push(uint32_t sample);
  std::optional<uint32_t> pop();
  void clear();
  bool empty() const;

 private:
  void clearLocked();

  IReadySignal& m_ready;
  mutable std::mutex m_lock;
  std::array<uint32_t, kCapacity> m_samples{};
  size_t m_read = 0;
  size_t m_count = 0;  // a count, so that all 2048 places hold samples
};

}  // namespace vexa::carrio
