#pragma once
// Execution threads kept waiting between presses. Under some systems a new
// thread costs several milliseconds, more than everything else between a
// button and its first action; a waiting thread starts the press at once.
// Runs still each have a thread of their own: a press that finds no waiting
// thread gets a new one.
#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "vexa/winlib/handle.h"
#include "vexa/winlib/sync.h"

namespace vexa::exec {

class CExecJob {
 public:
  virtual ~CExecJob() = default;
  virtual void RunJob() = 0;
};

class CExecWorkers {
 public:
  // Called with the thread's id and a handle of it before the job runs;
  // false refuses the job (it is then not run).
  using Listing = std::function<bool(DWORD threadId, win::CHandle& thread)>;

  // `keepWaiting`: how many idle threads stay; one is started at once.
  explicit CExecWorkers(size_t keepWaiting);
  ~CExecWorkers();
  CExecWorkers(const CExecWorkers&) = delete;
  CExecWorkers& operator=(const CExecWorkers&) = delete;

  // False, leaving the job unrun, after BeginStop, when no thread could be
  // made, or when `list` refused.
  bool Run(std::unique_ptr<CExecJob> job, const Listing& list);
  // Idle threads end now, busy ones when their job is done.
  void BeginStop();
  // Waits for every thread up to `timeoutMs` each, ending it by force after that.
  void Join(DWORD timeoutMs);
  size_t Waiting() const;

 private:
  struct Worker;
  static unsigned __stdcall ThreadProc(void* worker);
  void Serve(Worker& worker);
  Worker* StartWorker();
  std::vector<std::unique_ptr<Worker>> TakeFinished();

  const size_t m_keepWaiting;
  mutable std::mutex m_lock;
  std::vector<std::unique_ptr<Worker>> m_workers;
  std::vector<Worker*> m_idle;
  bool m_stopping = false;
};

}  // namespace vexa::exec
