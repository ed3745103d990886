#pragma once
// The status line of the main window and the tray tip that follows it: a
// permanent text (the device's state) and temporary texts that give way to it
// after three seconds.
#include <windows.h>

#include <string>

#include "vexa/winlib/notify_icon.h"

namespace vexa::shell {

class CStatusLine {
 public:
  static constexpr UINT_PTR kStatusTimer = 3;   // a temporary text gives way
  static constexpr UINT_PTR kTrayTipTimer = 4;  // the tip follows a while later
  static constexpr UINT kTemporaryMs = 3000;
  // The tip goes through the shell, which costs milliseconds: it follows once
  // the status has been still this long, so that it never holds up a press.
  static constexpr UINT kTrayTipDelayMs = 250;

  // `tray` must outlive this; the owner's WM_TIMER messages go to OnTimer.
  CStatusLine(HWND owner, win::CNotifyIcon& tray, std::wstring programName);
  ~CStatusLine();
  CStatusLine(const CStatusLine&) = delete;
  CStatusLine& operator=(const CStatusLine&) = delete;

  // The status bar, a child of the owner.
  bool Create(UINT id);
  HWND Handle() const { return m_bar; }

  void SetPermanent(const std::wstring& text);
  void ShowTemporary(const std::wstring& text);
  void RestorePermanent() { SetPermanent(m_permanent); }
  // Shows `text` at once until the caller shows another (a save in progress); returns what was shown.
  std::wstring ShowMeanwhile(const std::wstring& text);
  // The text that gives way after a while is not replaced meanwhile.
  void PutBack(const std::wstring& text) { Show(text); }
  const std::wstring& Shown() const { return m_shown; }
  const std::wstring& TrayTip() const { return m_tip; }

  // True when the timer was one of ours.
  bool OnTimer(UINT_PTR id);

 private:
  void Show(const std::wstring& text);
  void UpdateTrayTip();

  HWND m_owner;
  win::CNotifyIcon& m_tray;
  std::wstring m_programName;
  HWND m_bar = nullptr;
  std::wstring m_shown, m_permanent, m_tip;
};

}  // namespace vexa::shell
