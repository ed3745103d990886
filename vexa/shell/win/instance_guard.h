#pragma once
// One running program per session, told apart by a named mutex.
#include <string>

#include "vexa/winlib/sync.h"

namespace vexa::shell {

inline constexpr const wchar_t* kInstanceMutexName = L"Vexa Instance";

class CInstanceGuard {
 public:
  explicit CInstanceGuard(const std::wstring& name = kInstanceMutexName);

  // False when another instance holds the name (or the mutex could not be made).
  bool IsFirst() const { return m_first; }

  // Restores the other instance's top-level window of this class and title and brings
  // it forward; the class keeps a message box of the same title from being picked.
  static bool ActivateExisting(const std::wstring& windowClass, const std::wstring& windowTitle);

 private:
  win::CMutex m_mutex;
  bool m_first = false;
};

}  // namespace vexa::shell
