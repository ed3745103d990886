#include "vexa/shell/session_state.h"

namespace vexa::shell {

std::vector<SessionAction> CSessionState::Suspend(std::vector<SessionAction> actions) {
  if (!m_suspended) {
    actions.push_back(SessionAction::UnloadDeviceKeepSelection);
    actions.push_back(SessionAction::StopServer);
    m_suspended = true;
  }
  return actions;
}

std::vector<SessionAction> CSessionState::Resume() {
  if (!m_suspended) return {};
  m_suspended = false;
  return {SessionAction::ReloadPlugin, SessionAction::StartDeviceWithInit, SessionAction::StartServer};
}

std::vector<SessionAction> CSessionState::OnSessionChange(unsigned code) {
  std::vector<SessionAction> actions;
  switch (static_cast<SessionChange>(code)) {
    case SessionChange::ConsoleDisconnect:
      // A pending reconnect is over: the console went away again before it settled.
      if (m_waitingForConnect) {
        m_waitingForConnect = false;
        actions.push_back(SessionAction::CancelConnectTimer);
      }
      // Set even when already suspended by a lock, so that the unlock that
      // follows waits for the console to come back.
      m_consoleDisconnected = true;
      return Suspend(std::move(actions));
    case SessionChange::SessionLock:
      // The console did come back; only the restart is no longer wanted.
      if (m_waitingForConnect) {
        m_waitingForConnect = false;
        m_consoleDisconnected = false;
        actions.push_back(SessionAction::CancelConnectTimer);
      }
      return Suspend(std::move(actions));
    case SessionChange::ConsoleConnect:
      m_waitingForConnect = true;
      return {SessionAction::StartConnectTimer};
    case SessionChange::SessionUnlock:
      if (m_consoleDisconnected) return {};
      return Resume();
  }
  return {};
}

std::vector<SessionAction> CSessionState::OnConnectTimerElapsed() {
  if (!m_waitingForConnect) return {};
  m_waitingForConnect = false;
  m_consoleDisconnected = false;
  return Resume();
}

}  // namespace vexa::shell
