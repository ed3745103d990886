#pragma once
// The main window's side of "Shutdown Windows": the request (message
// 0x466), the countdown stepped by repeated presses, the one-second tick,
// the status line, and the end of the session through ISystemActions.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "vexa/exec/display_request.h"
#include "vexa/exec/win/actions/action_context.h"

namespace vexa::shell {

class CRemoteShutdownWindow;

class CShutdownCountdown {
 public:
  using StatusSink = std::function<void(const std::string& text)>;
  // Asks the OSD for its shutdown display; true when it shows it (it then
  // calls OnDisplayClosed). Without an OSD the countdown starts at once.
  using DisplaySink = std::function<bool(DisplayRequest& request)>;
  // Orderly end of the program before the session ends, and its quit after.
  using EndProgram = std::function<void()>;

  CShutdownCountdown(HWND mainWindow, exec::CActionServices& services, StatusSink status, DisplaySink display,
                     EndProgram end, EndProgram quit);
  ~CShutdownCountdown();

  // Message 0x466; the new countdown.
  unsigned OnRequest(unsigned seconds, uint32_t flags);
  // Timer kShutdownTickTimer.
  void OnTick();
  // The OSD's shutdown display closed: go on counting, or cancel.
  void OnDisplayClosed(bool goOn);
  void SetDisplayShowing(bool showing) { m_displayShowing = showing; }
  // "Abort" or Escape in the shutdown window.
  void Abort();

  unsigned Countdown() const { return m_countdown; }
  bool Ticking() const { return m_ticking; }
  uint32_t Type() const { return m_type; }
  HWND Window() const;

 private:
  void startTick();
  void stopTick();
  void showWindow();
  void closeWindow();

  HWND m_main;
  exec::CActionServices& m_services;  // its system actions may be replaced (tests)
  StatusSink m_status;
  DisplaySink m_display;
  EndProgram m_end;
  EndProgram m_quit;
  unsigned m_countdown = 0;
  unsigned m_requested = 0;
  uint32_t m_type = 9;
  bool m_ticking = false;
  bool m_displayShowing = false;
  bool m_noDisplay = false;  // the OSD refused the last request
  std::unique_ptr<CRemoteShutdownWindow> m_window;  // "Remote System Shutdown"
};

}  // namespace vexa::shell
