// Keystrokes to the current window and to a named window.
#include <windows.h>

#include "vexa/exec/actions/status_text.h"
#include "vexa/exec/win/actions/action_table.h"
#include "vexa/exec/win/actions/activation.h"
#include "vexa/exec/win/window_operation.h"

namespace vexa::exec {

namespace {

constexpr DWORD kSecondLookMs = 200;

bool keystrokeToCurrentWindow(ActionContext& c, std::string& message) {
  const HWND front = GetForegroundWindow();
  if (!front) return false;
  sendKeystrokes(c.host, c.action().param);
  message = statusText("Keystroke sent to %s", windowTitleOf(front));
  return true;
}

HWND topLevelOwnerOf(HWND window) {
  HWND top = GetAncestor(window, GA_ROOT);
  if (!top) top = window;
  while (HWND owner = GetWindow(top, GW_OWNER)) top = owner;
  return top;
}

bool inFront(HWND owner, HWND window) {
  const HWND front = GetForegroundWindow();
  return front && (front == owner || front == window);
}

bool keystrokeToWindow(ActionContext& c, std::string& message) {
  const std::string& name = c.action().fileName.empty() && c.call.command.inFolder ? c.call.command.folder.windowName
                                                                                   : c.action().fileName.str();
  const HWND window = c.host.findWindow(name, c.refreshLists());
  bool ok = false;
  if (window) {
    const HWND owner = topLevelOwnerOf(window);
    activateWindow(c.host, owner, true);
    if (!inFront(owner, window)) Sleep(kSecondLookMs);
    ok = inFront(owner, window) || isForegroundOrAncestor(owner);
    if (ok) {
      if (window != owner) activateWindow(c.host, window, true);
      sendKeystrokes(c.host, c.action().param);
    }
  }
  message = statusText(ok ? "Keystroke sent to %s" : "'Send keystroke' failed - %s", name);
  return ok;
}

}  // namespace

void registerKeyActions(CActionTable& table) {
  table.add(ActionKind::KeystrokeToCurrentWindow, keystrokeToCurrentWindow);
  table.add(ActionKind::KeystrokeToWindow, keystrokeToWindow);
}

}  // namespace vexa::exec
