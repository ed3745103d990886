// Moving the pointer while a button is held, placing it, the wheel and
// the buttons.
#include <windows.h>

#include <cstdio>

#include "vexa/base/strings.h"
#include "vexa/exec/actions/mouse_rules.h"
#include "vexa/exec/actions/status_text.h"
#include "vexa/exec/win/actions/action_table.h"
#include "vexa/exec/win/actions/activation.h"

namespace vexa::exec {

namespace {

constexpr DWORD kClickPauseMs = 50;

bool moveMouse(ActionContext& c, std::string& message) {
  uint32_t repeat;
  {
    std::lock_guard lock(c.services.audioLock);
    repeat = c.services.mouseRepeat.next(c.call.repeat, GetTickCount64(), c.services.typematicDelayMs);
  }
  const auto motion = mouseMotion(c.action().fileName, mouseAcceleration(c.action().param), repeat);
  if (!motion) {
    message = "Move Mouse failed";
    return false;
  }
  c.services.mouse.move(*motion);
  ActionUiRequest timer;
  timer.kind = ActionUiRequest::kMouseTimer;
  c.host.request(timer);
  message = statusText("Moved mouse %s", c.action().fileName);
  return true;
}

bool setMousePosition(ActionContext& c, std::string& message) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  const std::string& relative = c.action().fileName;
  const size_t wnd = toLower(relative).find("wnd:");
  RECT origin{};
  if (wnd != std::string::npos) {
    const std::string name = relative.size() > 4 ? relative.substr(4) : std::string();
    const HWND window = name.empty() ? nullptr : c.host.findWindow(name, c.refreshLists());
    if (!window) {
      message = "Set Mouse Position failed";
      return false;
    }
    activateWindow(c.host, window, true);
    GetWindowRect(window, &origin);
  } else {
    GetWindowRect(GetDesktopWindow(), &origin);
  }
  const MouseTarget target = mouseTargetOf(c.action().param, width, height);
  // Field 2 is in pixels, as the position tool records it; the absolute
  // range is reached only through one conversion, clamped to the screen.
  const int32_t x = pixelsToMouseUnits(static_cast<int64_t>(origin.left) + 1 + target.x, width);
  const int32_t y = pixelsToMouseUnits(static_cast<int64_t>(origin.top) + 1 + target.y, height);
  mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, static_cast<DWORD>(x), static_cast<DWORD>(y), 0, 0);
  char text[64];
  std::snprintf(text, sizeof text, "Mouse moved to (%d,%d)", mouseUnitsToPixels(x, width),
                mouseUnitsToPixels(y, height));
  message = text;
  return true;
}

bool rollWheel(ActionContext& c, std::string& message) {
  const auto amount = wheelAmount(c.action().fileName, c.action().param);
  if (!amount) return false;
  mouse_event(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(*amount), 0);
  message = statusText("Mouse wheel rolled %s", c.action().fileName);
  return true;
}

void click(MouseButton button) {
  DWORD down = 0, up = 0;
  switch (button) {
    case MouseButton::Left: down = MOUSEEVENTF_LEFTDOWN, up = MOUSEEVENTF_LEFTUP; break;
    case MouseButton::Middle: down = MOUSEEVENTF_MIDDLEDOWN, up = MOUSEEVENTF_MIDDLEUP; break;
    case MouseButton::Right: down = MOUSEEVENTF_RIGHTDOWN, up = MOUSEEVENTF_RIGHTUP; break;
    case MouseButton::None: return;
  }
  mouse_event(down, 0, 0, 0, 0);
  Sleep(kClickPauseMs);
  mouse_event(up, 0, 0, 0, 0);
}

bool clickButton(ActionContext& c, std::string& message, int times) {
  if (c.action().fileName.empty()) return false;
  const MouseButton button = mouseButtonOf(c.action().fileName);
  if (button == MouseButton::None) {
    // Reporting a click that never happened would mislead the user.
    message = statusText("No mouse button named in %s", c.action().fileName);
    return false;
  }
  for (int i = 0; i < times; ++i) click(button);
  message = statusText("%s mouse button clicked", toLower(c.action().fileName));
  return true;
}

bool clickMouse(ActionContext& c, std::string& message) { return clickButton(c, message, 1); }
bool doubleClickMouse(ActionContext& c, std::string& message) { return clickButton(c, message, 2); }

}  // namespace

void registerMouseActions(CActionTable& table) {
  table.add(ActionKind::MoveMouse, moveMouse);
  table.add(ActionKind::SetMousePosition, setMousePosition);
  table.add(ActionKind::RollMouseWheel, rollWheel);
  table.add(ActionKind::ClickMouseButton, clickMouse);
  table.add(ActionKind::DoubleClickMouseButton, doubleClickMouse);
}

}  // namespace vexa::exec
