#include "vexa/shell/win/status_line.h"

#include <commctrl.h>

#include "vexa/shell/tray_icon_state.h"
#include "vexa/winlib/controls.h"

namespace vexa::shell {

CStatusLine::CStatusLine(HWND owner, win::CNotifyIcon& tray, std::wstring programName)
    : m_owner(owner), m_tray(tray), m_programName(std::move(programName)), m_tip(m_programName) {}

CStatusLine::~CStatusLine() {
  KillTimer(m_owner, kStatusTimer);
  KillTimer(m_owner, kTrayTipTimer);
}

bool CStatusLine::Create(UINT id) {
  m_bar = win::CreateChildControl(m_owner, STATUSCLASSNAMEW, L"", WS_VISIBLE | SBARS_SIZEGRIP, id);
  Show(L"");
  return m_bar != nullptr;
}

void CStatusLine::SetPermanent(const std::wstring& text) {
  KillTimer(m_owner, kStatusTimer);
  m_permanent = text;
  Show(text);
}

void CStatusLine::ShowTemporary(const std::wstring& text) {
  Show(text);
  SetTimer(m_owner, kStatusTimer, kTemporaryMs, nullptr);
}

std::wstring CStatusLine::ShowMeanwhile(const std::wstring& text) {
  std::wstring before = m_shown;
  Show(text);
  if (m_bar) UpdateWindow(m_bar);  // before the work that follows holds this thread
  return before;
}

void CStatusLine::Show(const std::wstring& text) {
  m_shown = text;
  const std::wstring line = L"Status: " + text;
  if (m_bar) SendMessageW(m_bar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(line.c_str()));
  // Each new text puts the update off again: a burst of presses ends in one update.
  if (!SetTimer(m_owner, kTrayTipTimer, kTrayTipDelayMs, nullptr)) UpdateTrayTip();
}

void CStatusLine::UpdateTrayTip() {
  KillTimer(m_owner, kTrayTipTimer);
  const std::wstring tip = trayTipText(m_shown, m_programName);
  if (tip == m_tip) return;
  m_tip = tip;
  m_tray.SetTip(m_tip);
}

bool CStatusLine::OnTimer(UINT_PTR id) {
  if (id == kTrayTipTimer) {
    UpdateTrayTip();
    return true;
  }
  if (id == kStatusTimer) {
    KillTimer(m_owner, kStatusTimer);
    Show(m_permanent);
    return true;
  }
  return false;
}

}  // namespace vexa::shell
