#pragma once
// The execution threads still running, kept for the exit: it stops them.
// Changes are made under the named mutex "VexaExecThreadExit" and, inside
// it, an in-process lock that also holds when the named mutex cannot be
// created.
#include <windows.h>

#include <mutex>
#include <optional>
#include <vector>

#include "vexa/winlib/handle.h"
#include "vexa/winlib/sync.h"

namespace vexa::exec {

class CExecThreadList {
 public:
  CExecThreadList();
  CExecThreadList(const CExecThreadList&) = delete;
  CExecThreadList& operator=(const CExecThreadList&) = delete;

  // Takes ownership of the thread's handle; false, leaving it with the
  // caller, once the list is closed for the exit.
  bool add(DWORD threadId, win::CHandle& thread);
  // The first entry of that thread, if listed.
  void remove(DWORD threadId);
  bool empty() const;
  size_t size() const;
  void close();

  struct Listed {
    DWORD threadId;
    win::CHandle thread;  // a duplicate: valid however the listed one ends
  };
  // The first listed thread, for waiting on it without holding the lock.
  std::optional<Listed> first() const;

 private:
  class CGuard;
  struct Entry {
    DWORD threadId;
    win::CHandle thread;
  };

  win::CMutex m_named;
  mutable std::mutex m_lock;
  std::vector<Entry> m_threads;
  bool m_closed = false;
};

}  // namespace vexa::exec
