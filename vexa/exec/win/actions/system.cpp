// Ending the session, suspending, the monitor and the display mode. Every
// irreversible effect goes through ISystemActions.
#include <windows.h>

#include "vexa/base/strings.h"
#include "vexa/exec/actions/display_mode_text.h"
#include "vexa/exec/actions/shutdown_rules.h"
#include "vexa/exec/actions/status_text.h"
#include "vexa/exec/win/actions/action_table.h"

namespace vexa::exec {

namespace {

constexpr DWORD kNotSupported = 50;

bool shutdownWindows(ActionContext& c, std::string&) {
  uint32_t flags = shutdownTypeOf(c.action().fileName);
  const unsigned seconds = shutdownSecondsOf(c.action().param);
  if (!c.osdEnabled()) flags |= kShutdownNoOsd;
  const HWND main = c.host.mainWindow();
  return main && PostMessageW(main, ProgramMessage::kShutdown, seconds, static_cast<LPARAM>(flags));
}

bool suspendWindows(ActionContext& c, std::string& message) {
  const SuspendResult r = c.services.system->suspend(iequals(c.action().fileName, "hibernate"));
  if (r.ok) message = "Suspended windows";
  else if (r.error == kNotSupported) message = "Suspend failed, no APM support";
  else message = "Suspend failed: " + std::to_string(r.error);
  return r.ok;
}

bool turnOffDisplay(ActionContext& c, std::string& message) {
  if (c.services.displayOff) {
    // Any pointer movement wakes the monitor.
    mouse_event(MOUSEEVENTF_MOVE, 1, 1, 0, 0);
    c.services.displayOff = false;
    message = "Display on";
    return true;
  }
  bool available = true;
  const bool ok = c.services.system->displayOff(available);
  if (!available) {
    message = "Turn off display failed: missing dll entry point";
    return false;
  }
  c.services.displayOff = ok;
  message = ok ? "Display off" : "Turn off display failed";
  return ok;
}

bool changeDisplayMode(ActionContext& c, std::string& message) {
  const std::string& text = c.action().fileName;
  if (text.empty()) return false;
  // The driver's TV-out key is optional; whether it was written decides nothing:
  // a mode that no display offers is a failure whatever the key did.
  c.services.system->writeTvOut(tvOutSetting(c.action().param));
  bool ok = false;
  if (const auto wanted = parseDisplayModeText(text)) {
    for (const DisplayMode& offered : c.services.system->displayModes()) {
      if (!displayModeFits(*wanted, offered)) continue;
      ok = c.services.system->applyDisplayMode(offered);
      break;
    }
  }
  message = ok ? statusText("Display mode changed to  %s", text) : std::string("'Change display mode' failed");
  return ok;
}

}  // namespace

void registerSystemActions(CActionTable& table) {
  table.add(ActionKind::ShutdownWindows, shutdownWindows);
  table.add(ActionKind::SuspendWindows, suspendWindows);
  table.add(ActionKind::TurnOffDisplay, turnOffDisplay);
  table.add(ActionKind::ChangeDisplayMode, changeDisplayMode);
}

}  // namespace vexa::exec
