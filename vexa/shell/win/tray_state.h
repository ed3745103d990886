#pragma once
// The tray icon's picture: idle or ready as the device reports, and the busy
// icon for a moment whenever a command starts.
#include <windows.h>

#include "vexa/shell/tray_icon_state.h"
#include "vexa/winlib/gdi.h"
#include "vexa/winlib/notify_icon.h"

namespace vexa::shell {

// The tray-sized icons of the program's resources.
struct TrayIcons {
  win::CIcon idle, ready, busy;
  // From `module` (the program: GetModuleHandle(nullptr)); false when one is missing.
  bool Load(HINSTANCE module);
};

class CTrayState {
 public:
  static constexpr UINT kBusyMs = 200;

  // `tray` and `icons` must outlive this; the timer is the owner's (a WM_TIMER
  // with flashTimerId goes to OnTimer).
  CTrayState(win::CNotifyIcon& tray, const TrayIcons& icons, HWND owner, UINT_PTR flashTimerId = 1);
  ~CTrayState();
  CTrayState(const CTrayState&) = delete;
  CTrayState& operator=(const CTrayState&) = delete;

  // Status 101 (ready) and 102/104 (idle).
  void SetReady(bool ready);
  // A command starts.
  void Flash();
  // True when the timer was the flash's.
  bool OnTimer(UINT_PTR timerId);

  TrayIcon Shown() const { return m_state.Shown(); }
  HICON IconOf(TrayIcon icon) const;

 private:
  void Show(std::optional<TrayIcon> icon);

  win::CNotifyIcon& m_tray;
  const TrayIcons& m_icons;
  HWND m_owner;
  UINT_PTR m_timerId;
  CTrayIconState m_state;
};

}  // namespace vexa::shell
