#include "vexa/shell/win/device_status.h"

#include "vexa/device/plugin_abi.h"
#include "vexa/shell/win/status_line.h"
#include "vexa/shell/win/tray_state.h"
#include "vexa/winlib/unicode.h"

namespace vexa::shell {

namespace {

// A text the sender allocated with new[] (or null) in the system code page, taken and freed.
std::wstring takeStatusText(LPARAM lp, const wchar_t* fallback) {
  char* text = reinterpret_cast<char*>(lp);
  if (!text) return fallback ? fallback : L"";
  std::wstring wide = win::ansiToWide(text);
  delete[] text;
  return wide;
}

}  // namespace

CDeviceStatus::CDeviceStatus(CStatusLine& status, CTrayState* tray, Readiness readiness)
    : m_status(status), m_picture(tray), m_readiness(std::move(readiness)) {}

bool CDeviceStatus::OnCode(unsigned code, LPARAM text) {
  namespace MainCode = abi::MainCode;
  switch (code) {
    case MainCode::kRestoreStatus:
      m_status.RestorePermanent();
      return true;
    case MainCode::kDeviceReady:
      SetDeviceState(true, takeStatusText(text, L"Ready"));
      return true;
    case MainCode::kDeviceNotInitialised:
      SetDeviceState(false, takeStatusText(text, L"Device not initialized"));
      return true;
    case MainCode::kDeviceDeactivated:
      SetDeviceState(false, takeStatusText(text, L"Device deactivated"));
      return true;
    case MainCode::kInitialising:
      m_status.SetPermanent(takeStatusText(text, L"Initializing plugin..."));
      return true;
  }
  if (code < MainCode::kTemporaryStatus) return false;
  m_status.ShowTemporary(takeStatusText(text, L""));
  return true;
}

void CDeviceStatus::SetDeviceState(bool ready, const std::wstring& text) {
  if (m_readiness) m_readiness(ready);
  m_tray = ready ? TrayState::Ready : TrayState::Idle;
  if (m_picture) m_picture->SetReady(ready);
  m_status.SetPermanent(text);
}

}  // namespace vexa::shell
