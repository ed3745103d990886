#pragma once
// The main window's part of the actions: the window list behind message
// 0x46B, the one request message of actions (timers 2, 10 and 11, the hot
// keys), the shutdown countdown (0x466), and the switch-back after a
// temporary activation.
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "vexa/exec/exec_messages.h"
#include "vexa/exec/win/window_list.h"
#include "vexa/shell/win/shutdown_countdown.h"

namespace vexa::exec {
class CExecEngine;
}

namespace vexa::shell {

inline constexpr UINT kSwitchBackMs = 3000;
inline constexpr UINT kCycleMs = 2000;
inline constexpr UINT kMouseStopMs = 250;

class CActionRequests {
 public:
  struct Hooks {
    std::function<void(const std::string& text)> status;
    std::function<void(bool suspended)> suspendHotKeys;
    std::function<void()> endCycle;  // Alt up, "Cycled through windows"
    CShutdownCountdown::DisplaySink shutdownDisplay;
    CShutdownCountdown::EndProgram endProgram;
  };

  CActionRequests(HWND mainWindow, exec::CExecEngine& engine, Hooks hooks);
  ~CActionRequests();

  // "Leave window focus after keystroke": no switch-back.
  void SetLeaveFocus(bool leave) { m_leaveFocus = leave; }
  std::optional<LRESULT> OnMessage(UINT msg, WPARAM wp, LPARAM lp);

  exec::CWindowList& Windows() { return m_windows; }
  CShutdownCountdown& Shutdown() { return m_shutdown; }

 private:
  LRESULT onRequest(const ActionUiRequest& request);
  LRESULT onFindWindow(bool refresh, const char* name);
  void switchBack();
  void restartTimer(UINT id, UINT ms);

  HWND m_main;
  exec::CExecEngine& m_engine;
  Hooks m_hooks;
  exec::CWindowList m_windows;
  CShutdownCountdown m_shutdown;
  bool m_leaveFocus = false;
  // The temporary activation to undo: kept from the first of a series.
  struct SwitchBack {
    HWND target = nullptr, previous = nullptr;
    bool wasMinimised = false, wasHidden = false;
  };
  std::optional<SwitchBack> m_switchBack;
};

}  // namespace vexa::shell
