#pragma once
// Follows Windows session changes for the main window: registers for them
// (wtsapi32, looked up at run time and skipped when missing), decides with
// CSessionState and carries the decision out through the hooks. The wait
// after a console connect is a window timer, never a pause of the thread.
#include <windows.h>

#include <functional>

#include "vexa/shell/session_state.h"
#include "vexa/winlib/module.h"

namespace vexa::shell {

struct SessionHooks {
  std::function<void()> unloadDeviceKeepSelection;
  std::function<void()> stopServer;
  std::function<void()> reloadPlugin;
  std::function<void()> startDeviceWithInit;
  std::function<void()> startServer;
};

class CSessionWatch {
 public:
  // The timer is the owner's (a WM_TIMER with timerId goes to OnTimer).
  CSessionWatch(HWND owner, UINT_PTR timerId, SessionHooks hooks,
                unsigned connectDelayMs = CSessionState::kConnectDelayMs, const wchar_t* library = L"wtsapi32.dll");
  ~CSessionWatch();
  CSessionWatch(const CSessionWatch&) = delete;
  CSessionWatch& operator=(const CSessionWatch&) = delete;

  // False when the library or its function is missing, or the call failed.
  bool Register();
  void Unregister();
  bool Registered() const { return m_registered; }

  // WM_WTSSESSION_CHANGE's wParam.
  void OnSessionChange(WPARAM code);
  // True when the timer was this watch's.
  bool OnTimer(UINT_PTR timerId);

  const CSessionState& State() const { return m_state; }

 private:
  void Carry(const std::vector<SessionAction>& actions);

  HWND m_owner;
  UINT_PTR m_timerId;
  SessionHooks m_hooks;
  unsigned m_connectDelayMs;
  win::CModule m_library;
  CSessionState m_state;
  bool m_registered = false;
};

}  // namespace vexa::shell
