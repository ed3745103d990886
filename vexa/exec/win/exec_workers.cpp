#include "vexa/exec/win/exec_workers.h"

#include <process.h>

#include <algorithm>

namespace vexa::exec {

struct CExecWorkers::Worker {
  CExecWorkers* owner = nullptr;
  DWORD id = 0;
  win::CHandle thread;
  win::CEvent wake;  // auto-reset: a job is there, or the end
  std::unique_ptr<CExecJob> job;
  bool finished = false;  // the thread returns, or already has
};

CExecWorkers::CExecWorkers(size_t keepWaiting) : m_keepWaiting(keepWaiting) {
  std::lock_guard<std::mutex> lock(m_lock);
  if (m_keepWaiting > 0)
    if (Worker* w = StartWorker()) m_idle.push_back(w);
}

CExecWorkers::~CExecWorkers() {
  BeginStop();
  Join(INFINITE);
}

// Under m_lock.
CExecWorkers::Worker* CExecWorkers::StartWorker() {
  auto worker = std::make_unique<Worker>();
  worker->owner = this;
  if (!worker->wake.CreateAnonymous(false, false)) return nullptr;
  unsigned id = 0;
  worker->thread.Attach(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &ThreadProc, worker.get(), 0, &id)));
  if (!worker->thread) return nullptr;
  worker->id = id;
  m_workers.push_back(std::move(worker));
  return m_workers.back().get();
}

unsigned __stdcall CExecWorkers::ThreadProc(void* worker) {
  auto* w = static_cast<Worker*>(worker);
  w->owner->Serve(*w);
  return 0;
}

void CExecWorkers::Serve(Worker& worker) {
  for (;;) {
    WaitForSingleObject(worker.wake.Get(), INFINITE);
    std::unique_ptr<CExecJob> job;
    {
      std::lock_guard<std::mutex> lock(m_lock);
      job = std::move(worker.job);
      if (!job && m_stopping) {
        worker.finished = true;
        return;
      }
    }
    if (!job) continue;
    job->RunJob();
    job.reset();
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_stopping || m_idle.size() >= m_keepWaiting) {
      worker.finished = true;
      return;
    }
    m_idle.push_back(&worker);
  }
}

// Under m_lock: threads that said they return, to be joined outside it.
std::vector<std::unique_ptr<CExecWorkers::Worker>> CExecWorkers::TakeFinished() {
  std::vector<std::unique_ptr<Worker>> done;
  for (auto it = m_workers.begin(); it != m_workers.end();) {
    if ((*it)->finished) {
      done.push_back(std::move(*it));
      it = m_workers.erase(it);
    } else {
      ++it;
    }
  }
  return done;
}

bool CExecWorkers::Run(std::unique_ptr<CExecJob> job, const Listing& list) {
  Worker* worker = nullptr;
  std::vector<std::unique_ptr<Worker>> done;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    done = TakeFinished();
    if (m_stopping) return false;
    if (!m_idle.empty()) {
      worker = m_idle.back();
      m_idle.pop_back();
    } else {
      worker = StartWorker();
    }
  }
  for (auto& w : done) w->thread.Wait(INFINITE);  // only the return is left
  if (!worker) return false;
  HANDLE copy = nullptr;
  DuplicateHandle(GetCurrentProcess(), worker->thread.Get(), GetCurrentProcess(), &copy, 0, FALSE,
                  DUPLICATE_SAME_ACCESS);
  win::CHandle listed(copy);
  const bool accepted = listed && list(worker->id, listed);
  std::lock_guard<std::mutex> lock(m_lock);
  if (!accepted) {
    if (m_stopping)
      worker->wake.Set();  // it ends
    else
      m_idle.push_back(worker);
    return false;
  }
  worker->job = std::move(job);
  worker->wake.Set();
  return true;
}

void CExecWorkers::BeginStop() {
  std::lock_guard<std::mutex> lock(m_lock);
  m_stopping = true;
  for (Worker* w : m_idle) w->wake.Set();
  m_idle.clear();
}

void CExecWorkers::Join(DWORD timeoutMs) {
  std::vector<std::unique_ptr<Worker>> all;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    all = std::move(m_workers);
    m_workers.clear();
  }
  for (auto& w : all) {
    if (w->thread.Wait(timeoutMs)) continue;
    TerminateThread(w->thread.Get(), 1);
    w->thread.Wait(timeoutMs);
  }
}

size_t CExecWorkers::Waiting() const {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_idle.size();
}

}  // namespace vexa::exec
