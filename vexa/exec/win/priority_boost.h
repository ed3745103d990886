#pragma once
// High process priority while any run executes actions. Runs overlap, so
// the first raises and remembers the old class and the last restores it;
// each run restoring what it saw would leave the process high when runs
// interleave.
#include <windows.h>

#include <mutex>

namespace vexa::exec {

class CPriorityBoost {
 public:
  void enter();
  void leave();

  class CScope {
   public:
    explicit CScope(CPriorityBoost& boost) : m_boost(boost) { m_boost.enter(); }
    ~CScope() { m_boost.leave(); }
    CScope(const CScope&) = delete;
    CScope& operator=(const CScope&) = delete;

   private:
    CPriorityBoost& m_boost;
  };

 private:
  std::mutex m_lock;
  int m_runs = 0;
  bool m_raised = false;
  DWORD m_saved = 0;
};

}  // namespace vexa::exec
