#pragma once
// What the program does when Windows locks, unlocks, disconnects or reconnects
// its session: the device and the server stop while nobody can use them and
// come back afterwards. The decisions only; the main window carries them out.
#include <vector>

namespace vexa::shell {

// The session-change codes Windows sends (wParam of WM_WTSSESSION_CHANGE).
enum class SessionChange : unsigned {
  ConsoleConnect = 1,
  ConsoleDisconnect = 2,
  SessionLock = 7,
  SessionUnlock = 8,
};

enum class SessionAction {
  UnloadDeviceKeepSelection,
  StopServer,
  StartConnectTimer,   // call OnConnectTimerElapsed after kConnectDelayMs
  CancelConnectTimer,
  ReloadPlugin,
  StartDeviceWithInit,
  StartServer,
};

class CSessionState {
 public:
  // A reconnected console is given time to settle before the device restarts.
  static constexpr unsigned kConnectDelayMs = 5000;

  // The actions to carry out, in order. Codes other than the four are ignored.
  std::vector<SessionAction> OnSessionChange(unsigned code);
  std::vector<SessionAction> OnConnectTimerElapsed();

  bool Suspended() const { return m_suspended; }
  bool ConsoleDisconnected() const { return m_consoleDisconnected; }
  bool WaitingForConnect() const { return m_waitingForConnect; }

 private:
  std::vector<SessionAction> Suspend(std::vector<SessionAction> actions);
  std::vector<SessionAction> Resume();

  bool m_suspended = false;
  bool m_consoleDisconnected = false;
  bool m_waitingForConnect = false;
};

}  // namespace vexa::shell
