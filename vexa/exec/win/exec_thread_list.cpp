#include "vexa/exec/win/exec_thread_list.h"

#include <algorithm>
#include <string>

#include "vexa/exec/exec_names.h"

namespace vexa::exec {

class CExecThreadList::CGuard {
 public:
  explicit CGuard(const CExecThreadList& list) : m_named(list.m_named.Get()), m_lock(list.m_lock) {}
  ~CGuard() {
    if (m_owned) ReleaseMutex(m_named);
  }
  CGuard(const CGuard&) = delete;
  CGuard& operator=(const CGuard&) = delete;

 private:
  // Named first, then in-process: always in this order. An abandoned mutex
  // (a thread stopped by force while holding it) is still ours.
  static bool acquire(HANDLE named) {
    if (!named) return false;
    const DWORD r = WaitForSingleObject(named, INFINITE);
    return r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
  }

  HANDLE m_named;
  bool m_owned = acquire(m_named);
  std::lock_guard<std::mutex> m_lock;
};

CExecThreadList::CExecThreadList() {
  m_named.Create(std::wstring(kExecThreadListMutex.begin(), kExecThreadListMutex.end()));
}

bool CExecThreadList::add(DWORD threadId, win::CHandle& thread) {
  CGuard guard(*this);
  if (m_closed) return false;
  m_threads.push_back({threadId, std::move(thread)});
  return true;
}

void CExecThreadList::remove(DWORD threadId) {
  win::CHandle closed;  // closed after the guard is released
  CGuard guard(*this);
  const auto it = std::find_if(m_threads.begin(), m_threads.end(), [&](const Entry& e) { return e.threadId == threadId; });
  if (it == m_threads.end()) return;
  closed = std::move(it->thread);
  m_threads.erase(it);
}

bool CExecThreadList::empty() const { return size() == 0; }

size_t CExecThreadList::size() const {
  CGuard guard(*this);
  return m_threads.size();
}

void CExecThreadList::close() {
  CGuard guard(*this);
  m_closed = true;
}

std::optional<CExecThreadList::Listed> CExecThreadList::first() const {
  CGuard guard(*this);
  if (m_threads.empty()) return std::nullopt;
  const Entry& e = m_threads.front();
  HANDLE copy = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), e.thread.Get(), GetCurrentProcess(), &copy, 0, FALSE,
                       DUPLICATE_SAME_ACCESS))
    copy = nullptr;
  return Listed{e.threadId, win::CHandle(copy)};
}

}  // namespace vexa::exec
