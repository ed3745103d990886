#pragma once
// The two threads that move the pointer while a "Move Mouse" button is
// held: one per axis, stopped by the event "TermMouseThread" or a zero step.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "vexa/exec/actions/mouse_rules.h"
#include "vexa/winlib/sync.h"

namespace vexa::exec {

inline constexpr const wchar_t* kTermMouseThreadEvent = L"TermMouseThread";

class CMouseMover {
 public:
  CMouseMover();
  ~CMouseMover();
  CMouseMover(const CMouseMover&) = delete;
  CMouseMover& operator=(const CMouseMover&) = delete;

  // New steps and tick; starts a thread for each axis that moves and has none.
  // Runs of two "Move Mouse" commands may call it at once.
  void move(const MouseMotion& motion);
  // Timer 11: set the event, zero the steps, let the threads end.
  void stop();
  bool moving() const { return m_running[0] || m_running[1]; }

 private:
  void run(int axis);
  void join();

  std::mutex m_threadsLock;  // guards m_threads: starting, collecting, joining
  win::CEvent m_stop;
  std::atomic<int> m_step[2]{0, 0};
  std::atomic<unsigned> m_tickMs{25};
  std::atomic<bool> m_running[2]{false, false};
  std::thread m_threads[2];
};

}  // namespace vexa::exec
