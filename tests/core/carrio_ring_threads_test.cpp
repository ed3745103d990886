// The sample ring between two threads, as the timing thread and the delivery
// loop use it. Also built with ThreadSanitizer where the compiler has it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "plugins/carrio/sample_queue.h"

namespace vexa::carrio {
namespace {

// A manual-reset event as the consumer waits for it.
class CEventSignal : public IReadySignal {
 public:
  void set() override {
    std::lock_guard lock(m_lock);
    m_set = true;
    m_changed.notify_all();
  }
  void reset() override {
    std::lock_guard lock(m_lock);
    m_set = false;
  }
  bool waitFor(std::chrono::milliseconds ms) {
    std::unique_lock lock(m_lock);
    return m_changed.wait_for(lock, ms, [this] { return m_set; });
  }

 private:
  std::mutex m_lock;
  std::condition_variable m_changed;
  bool m_set = false;
};

// The consumer sleeps on the event whenever the ring looks empty, as the
// delivery loop does. Were the event set or reset outside the ring's lock, a
// reset after a push could leave it sleeping on samples. The producer never
// waits: what the ring cannot hold is dropped whole, never reordered or doubled.
TEST(CarrioSampleQueue, AConsumerWaitingOnTheSignalGetsEverySampleOnceInOrder) {
  CEventSignal ready;
  CSampleQueue queue(ready);
  constexpr uint32_t kSamples = 300000;
  std::atomic<bool> done{false};
  std::atomic<int> sleptOnSamples{0};
  std::vector<uint32_t> received;
  received.reserve(kSamples);
  std::thread consumer([&] {
    for (;;) {
      if (auto s = queue.pop()) {
        received.push_back(*s);
        continue;
      }
      if (done && queue.empty()) break;
      if (!ready.waitFor(std::chrono::milliseconds(500)) && !queue.empty()) ++sleptOnSamples;
    }
  });
  uint32_t lost = 0;
  for (uint32_t i = 0; i < kSamples; ++i) {
    if (!queue.push(i)) ++lost;
    if (i % 4096 == 0) std::this_thread::yield();  // bursts, as a remote sends them
  }
  done = true;
  ready.set();  // wakes the consumer for the end
  consumer.join();
  EXPECT_EQ(sleptOnSamples, 0);
  for (size_t i = 1; i < received.size(); ++i) ASSERT_LT(received[i - 1], received[i]) << i;
  EXPECT_LE(received.size() + lost, kSamples);
  if (lost == 0) {
    EXPECT_EQ(received.size(), kSamples);
  }
}

}  // namespace
}  // namespace vexa::carrio
