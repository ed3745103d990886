#include "vexa/shell/win/instance_guard.h"

namespace vexa::shell {

CInstanceGuard::CInstanceGuard(const std::wstring& name) {
  m_first = m_mutex.Create(name) && !m_mutex.AlreadyExisted();
  // A second instance must not keep the name alive after the first one quits.
  if (!m_first) m_mutex.Close();
}

bool CInstanceGuard::ActivateExisting(const std::wstring& windowClass,
                                      const std::wstring& windowTitle) {
  const HWND other = FindWindowW(windowClass.c_str(), windowTitle.c_str());
  if (other == nullptr) return false;
  ShowWindow(other, IsIconic(other) ? SW_RESTORE : SW_SHOW);
  return SetForegroundWindow(other) != FALSE;
}

}  // namespace vexa::shell
