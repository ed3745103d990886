#include "vexa/exec/win/actions/mouse_mover.h"

namespace vexa::exec {

CMouseMover::CMouseMover() { m_stop.Create(kTermMouseThreadEvent, true, false); }

CMouseMover::~CMouseMover() {
  stop();
  join();
}

void CMouseMover::join() {
  std::lock_guard lock(m_threadsLock);
  for (auto& t : m_threads)
    if (t.joinable()) t.join();
}

void CMouseMover::move(const MouseMotion& motion) {
  // Without the lock two runs could both start an axis's thread, and a
  // std::thread assigned over a running one ends the program.
  std::lock_guard lock(m_threadsLock);
  m_step[0] = motion.stepX;
  m_step[1] = motion.stepY;
  m_tickMs = motion.tickMs;
  for (int axis = 0; axis < 2; ++axis) {
    if (m_step[axis] == 0 || m_running[axis]) continue;
    if (m_threads[axis].joinable()) m_threads[axis].join();  // ended on its own: collect it
    ResetEvent(m_stop.Get());
    m_running[axis] = true;
    m_threads[axis] = std::thread(&CMouseMover::run, this, axis);
  }
}

void CMouseMover::stop() {
  SetEvent(m_stop.Get());
  m_step[0] = 0;
  m_step[1] = 0;
}

void CMouseMover::run(int axis) {
  for (;;) {
    const int step = m_step[axis];
    if (step == 0) break;
    mouse_event(MOUSEEVENTF_MOVE, axis == 0 ? step : 0, axis == 1 ? step : 0, 0, 0);
    if (WaitForSingleObject(m_stop.Get(), m_tickMs) != WAIT_TIMEOUT) break;
  }
  m_running[axis] = false;
}

}  // namespace vexa::exec
