#include "vexa/shell/win/session_watch.h"

namespace vexa::shell {

namespace {

using RegisterFn = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterFn = BOOL(WINAPI*)(HWND);
constexpr DWORD kNotifyForThisSession = 0;

void call(const std::function<void()>& hook) {
  if (hook) hook();
}

}  // namespace

CSessionWatch::CSessionWatch(HWND owner, UINT_PTR timerId, SessionHooks hooks, unsigned connectDelayMs,
                             const wchar_t* library)
    : m_owner(owner), m_timerId(timerId), m_hooks(std::move(hooks)), m_connectDelayMs(connectDelayMs) {
  m_library.Load(library);
}

CSessionWatch::~CSessionWatch() {
  KillTimer(m_owner, m_timerId);
  Unregister();
}

bool CSessionWatch::Register() {
  if (!m_library.IsValid()) return false;
  const auto registerFn = m_library.GetProc<RegisterFn>("WTSRegisterSessionNotification");
  if (!registerFn) return false;
  m_registered = registerFn(m_owner, kNotifyForThisSession) != FALSE;
  return m_registered;
}

void CSessionWatch::Unregister() {
  if (!m_registered) return;
  m_registered = false;
  if (!m_library.IsValid()) return;
  if (const auto unregisterFn = m_library.GetProc<UnregisterFn>("WTSUnRegisterSessionNotification"))
    unregisterFn(m_owner);
}

void CSessionWatch::OnSessionChange(WPARAM code) { Carry(m_state.OnSessionChange(static_cast<unsigned>(code))); }

bool CSessionWatch::OnTimer(UINT_PTR timerId) {
  if (timerId != m_timerId) return false;
  KillTimer(m_owner, m_timerId);
  Carry(m_state.OnConnectTimerElapsed());
  return true;
}

void CSessionWatch::Carry(const std::vector<SessionAction>& actions) {
  for (SessionAction action : actions) {
    switch (action) {
      case SessionAction::UnloadDeviceKeepSelection: call(m_hooks.unloadDeviceKeepSelection); break;
      case SessionAction::StopServer: call(m_hooks.stopServer); break;
      case SessionAction::StartConnectTimer: SetTimer(m_owner, m_timerId, m_connectDelayMs, nullptr); break;
      case SessionAction::CancelConnectTimer: KillTimer(m_owner, m_timerId); break;
      case SessionAction::ReloadPlugin: call(m_hooks.reloadPlugin); break;
      case SessionAction::StartDeviceWithInit: call(m_hooks.startDeviceWithInit); break;
      case SessionAction::StartServer: call(m_hooks.startServer); break;
    }
  }
}

}  // namespace vexa::shell
