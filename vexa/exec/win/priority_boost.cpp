#include "vexa/exec/win/priority_boost.h"

namespace vexa::exec {

namespace {

// By rank, not by number: the "above normal" and "below normal" values are
// larger numbers than the high class.
bool belowHigh(DWORD priorityClass) {
  return priorityClass != 0 && priorityClass != HIGH_PRIORITY_CLASS && priorityClass != REALTIME_PRIORITY_CLASS;
}

}  // namespace

void CPriorityBoost::enter() {
  std::lock_guard lock(m_lock);
  if (m_runs++ > 0) return;
  m_saved = GetPriorityClass(GetCurrentProcess());
  m_raised = belowHigh(m_saved) && SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
}

void CPriorityBoost::leave() {
  std::lock_guard lock(m_lock);
  if (--m_runs > 0 || !m_raised) return;
  SetPriorityClass(GetCurrentProcess(), m_saved);
  m_raised = false;
}

}  // namespace vexa::exec
