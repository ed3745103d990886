// The active window: minimise, maximise, close; switching to a named
// window; cycling through windows with Alt+Tab.
#include <windows.h>

#include "vexa/exec/actions/status_text.h"
#include "vexa/exec/win/actions/action_table.h"
#include "vexa/exec/win/actions/activation.h"
#include "vexa/exec/win/window_operation.h"

namespace vexa::exec {

namespace {

constexpr unsigned kVkTab = 0x09, kVkAlt = 0x12;
constexpr DWORD kKeyPauseMs = 10;

bool minimizeWindow(ActionContext&, std::string& message) {
  const HWND front = userForegroundWindow();
  const bool ok = front && ShowWindowAsync(front, SW_MINIMIZE);
  message = ok ? "Minimized current window" : "Minimized current window failed";
  return ok;
}

bool maximizeWindow(ActionContext&, std::string& message) {
  const HWND front = userForegroundWindow();
  if (!front) {
    message = "Maximized current window failed";
    return false;
  }
  if (IsZoomed(front)) {
    ShowWindowAsync(front, SW_SHOWNORMAL);
    message = "Restored current window";
  } else {
    ShowWindowAsync(front, SW_MAXIMIZE);
    message = "Maximized current window";
  }
  return true;
}

bool closeWindow(ActionContext&, std::string& message) {
  const HWND front = userForegroundWindow();
  // Sent with a time-out: a hung window must not hold the run for ever.
  const WindowOperation close = closeOperation();
  DWORD_PTR result = 0;
  const bool ok = front && SendMessageTimeoutW(front, close.code, close.wParam, close.lParam, SMTO_ABORTIFHUNG, 5000,
                                               &result) != 0;
  message = ok ? "Closed current window" : "Close current window failed";
  return ok;
}

bool switchToWindow(ActionContext& c, std::string& message) {
  const std::string& name = c.action().fileName.empty() && c.call.command.inFolder ? c.call.command.folder.windowName
                                                                                   : c.action().fileName.str();
  const HWND window = c.host.findWindow(name, c.refreshLists());
  const bool ok = window && activateWindow(c.host, window, false);
  message = statusText(ok ? "Switched to %s" : "Window %s not found", name);
  return ok;
}

bool cycleThroughWindows(ActionContext& c, std::string& message) {
  if (!c.services.cycle.exchange(true)) {
    c.host.sendKey(kVkAlt, false);
    Sleep(kKeyPauseMs);
  }
  c.host.sendKey(kVkTab, false);
  Sleep(kKeyPauseMs);
  c.host.sendKey(kVkTab, true);
  ActionUiRequest timer;
  timer.kind = ActionUiRequest::kCycleTimer;
  c.host.request(timer);
  message = "Cycling through windows...";
  return true;
}

}  // namespace

void registerWindowActions(CActionTable& table) {
  table.add(ActionKind::MinimizeWindow, minimizeWindow);
  table.add(ActionKind::MaximizeWindow, maximizeWindow);
  table.add(ActionKind::CloseWindow, closeWindow);
  table.add(ActionKind::SwitchToWindow, switchToWindow);
  table.add(ActionKind::CycleThroughWindows, cycleThroughWindows);
}

}  // namespace vexa::exec
