#include "vexa/shell/win/tray_state.h"

#include "vexa/shell/res/resource.h"

namespace vexa::shell {

bool TrayIcons::Load(HINSTANCE module) {
  const int cx = GetSystemMetrics(SM_CXSMICON);
  const int cy = GetSystemMetrics(SM_CYSMICON);
  const bool loaded = idle.Load(module, IDI_TRAY_IDLE, cx, cy) & ready.Load(module, IDI_TRAY_READY, cx, cy) &
                      busy.Load(module, IDI_TRAY_BUSY, cx, cy);
  return loaded;
}

CTrayState::CTrayState(win::CNotifyIcon& tray, const TrayIcons& icons, HWND owner, UINT_PTR flashTimerId)
    : m_tray(tray), m_icons(icons), m_owner(owner), m_timerId(flashTimerId) {}

CTrayState::~CTrayState() { KillTimer(m_owner, m_timerId); }

HICON CTrayState::IconOf(TrayIcon icon) const {
  switch (icon) {
    case TrayIcon::Idle: return m_icons.idle.Get();
    case TrayIcon::Ready: return m_icons.ready.Get();
    case TrayIcon::Busy: return m_icons.busy.Get();
  }
  return nullptr;
}

void CTrayState::Show(std::optional<TrayIcon> icon) {
  if (icon) m_tray.SetIcon(IconOf(*icon));
}

void CTrayState::SetReady(bool ready) { Show(m_state.SetReady(ready)); }

void CTrayState::Flash() {
  Show(m_state.Flash());
  // Each start restarts the 200 ms, so a burst of presses stays busy throughout.
  SetTimer(m_owner, m_timerId, kBusyMs, nullptr);
}

bool CTrayState::OnTimer(UINT_PTR timerId) {
  if (timerId != m_timerId) return false;
  KillTimer(m_owner, m_timerId);
  Show(m_state.FlashEnded());
  return true;
}

}  // namespace vexa::shell
