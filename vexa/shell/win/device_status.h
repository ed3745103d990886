#pragma once
// The device's status codes (message 0x7FFF, codes 99 and above) and what each
// changes: the status line, the tray picture, and whether presses are taken.
#include <windows.h>

#include <functional>
#include <string>

namespace vexa::shell {

class CStatusLine;
class CTrayState;

class CDeviceStatus {
 public:
  enum class TrayState { Idle, Ready };
  // Whether the dispatch takes presses; one rule for every code that changes it.
  using Readiness = std::function<void(bool ready)>;

  // `status` and `tray` (may be null: no icons) must outlive this.
  CDeviceStatus(CStatusLine& status, CTrayState* tray, Readiness readiness);

  // A code of 99 and above; the text it carries (lParam) is the sender's new[]
  // block in the system code page, freed here. False for codes below 99.
  bool OnCode(unsigned code, LPARAM text);
  // The device became ready or stopped: the permanent text, the tray icon, the presses.
  void SetDeviceState(bool ready, const std::wstring& text);
  TrayState Tray() const { return m_tray; }

 private:
  CStatusLine& m_status;
  CTrayState* m_picture;
  Readiness m_readiness;
  TrayState m_tray = TrayState::Idle;
};

}  // namespace vexa::shell
