#pragma once
// The component runtime for the current thread, for as long as the scope
// lives (shell execution and shell links need it).
#include <windows.h>
#include <objbase.h>

namespace vexa::exec {

class CComScope {
 public:
  CComScope() : m_ok(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
  ~CComScope() {
    if (m_ok) CoUninitialize();
  }
  CComScope(const CComScope&) = delete;
  CComScope& operator=(const CComScope&) = delete;

 private:
  bool m_ok;
};

}  // namespace vexa::exec
