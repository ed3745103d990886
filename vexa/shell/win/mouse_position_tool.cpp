#include "vexa/shell/win/mouse_position_tool.h"

#include <commctrl.h>

#include <cstdio>

#include "vexa/base/program_messages.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/shell/res/editor_resource.h"
#include "vexa/winlib/unicode.h"

namespace vexa::shell {

namespace {

using InstallMouseHookFn = uintptr_t(WINAPI*)();
using UnHookMouseFn = void(WINAPI*)();

constexpr unsigned kTakeKey = 0x71;  // F2

std::string windowText(HWND window) {
  wchar_t text[256] = L"";
  GetWindowTextW(window, text, 256);
  return win::toUtf8(text);
}

std::string classText(HWND window) {
  wchar_t text[256] = L"";
  GetClassNameW(window, text, 256);
  return win::toUtf8(text);
}

}  // namespace

std::optional<MousePosition> CMousePositionTool::Run(HWND owner) {
  m_result.reset();
  DoModal(owner, GetModuleHandleW(nullptr), IDD_MOUSE_POSITION_TOOL);
  return m_result;
}

void CMousePositionTool::Tell(const std::wstring& text) const {
  if (m_tell)
    m_tell(text);
  else
    MessageBoxW(m_hwnd, text.c_str(), L"Vexa", MB_OK | MB_ICONEXCLAMATION);
}

bool CMousePositionTool::OnInitDialog() {
  CheckRadioButton(m_hwnd, IDC_MP_DESKTOP, IDC_MP_WINDOW, IDC_MP_WINDOW);
  SendItem(IDC_MP_X_SPIN, UDM_SETRANGE32, 0, GetSystemMetrics(SM_CXSCREEN));
  SendItem(IDC_MP_Y_SPIN, UDM_SETRANGE32, 0, GetSystemMetrics(SM_CYSCREEN));
  SetItemInt(IDC_MP_X, 0);
  SetItemInt(IDC_MP_Y, 0);
  // The program loaded the hook module at start-up; the tool only borrows it.
  m_hooks = GetModuleHandleW(L"tapmod");
  if (!m_hooks) {
    Tell(kNoHookLibrary);
    return true;
  }
  const auto install = reinterpret_cast<InstallMouseHookFn>(GetProcAddress(m_hooks, "InstallMouseHook"));
  m_mouseHook = install ? install() : 0;
  if (!m_mouseHook) Tell(kMouseHookFailed);
  return true;
}

void CMousePositionTool::RemoveHook() {
  if (!m_mouseHook || !m_hooks) return;
  if (const auto unhook = reinterpret_cast<UnHookMouseFn>(GetProcAddress(m_hooks, "UnHookMouse"))) unhook();
  m_mouseHook = 0;
}

void CMousePositionTool::OnPosition(int x, int y) {
  m_x = x;
  m_y = y;
  m_windowName.clear();
  if (IsButtonChecked(IDC_MP_WINDOW)) {
    const HWND under = WindowFromPoint(POINT{x, y});
    const HWND top = under ? GetAncestor(under, GA_ROOTOWNER) : nullptr;
    if (top) {
      const std::string className = " (" + classText(top) + ")";
      m_windowName = IsButtonChecked(IDC_MP_CLASS_ONLY) ? className : windowText(top) + className;
      RECT box{};
      GetWindowRect(top, &box);
      m_x = x - box.left;
      m_y = y - box.top;
    }
  }
  SetItemText(IDC_MP_NOW_X, "x: " + std::to_string(m_x));
  SetItemText(IDC_MP_NOW_Y, "y: " + std::to_string(m_y));
  SetItemText(IDC_MP_NOW_NAME, m_windowName);
}

void CMousePositionTool::TakeCurrent() {
  SetItemInt(IDC_MP_X, m_x);
  SetItemInt(IDC_MP_Y, m_y);
  SetItemText(IDC_MP_NAME, m_windowName);
}

void CMousePositionTool::SyncWindowFields() {
  const bool window = IsButtonChecked(IDC_MP_WINDOW);
  EnableItem(IDC_MP_NAME, window);
  EnableItem(IDC_MP_CLASS_ONLY, window);
}

bool CMousePositionTool::OnCommand(int id, int notification, HWND control) {
  if ((id == IDC_MP_DESKTOP || id == IDC_MP_WINDOW) && notification == BN_CLICKED) {
    SyncWindowFields();
    return true;
  }
  return CModalDialog::OnCommand(id, notification, control);
}

bool CMousePositionTool::OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
  if (msg != abi::kVexaMessage) return CModalDialog::OnMessage(msg, wp, lp, result);
  // A dialog's answer to a sender goes through DWLP_MSGRESULT.
  const auto answer = [&](LONG_PTR value) {
    SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, value);
    result = TRUE;
    return true;
  };
  switch (wp) {
    case ProgramMessage::kMousePosition: {
      const auto packed = static_cast<uint32_t>(lp);
      OnPosition(static_cast<int>(packed >> 16), static_cast<int>(packed & 0xFFFF));
      return answer(1);
    }
    case ProgramMessage::kMouseHookHandle:
      return answer(static_cast<LONG_PTR>(m_mouseHook));
    case ProgramMessage::kHotKeyEvent:
      if ((static_cast<uint32_t>(lp) & 0xFF) != kTakeKey) return answer(0);
      TakeCurrent();
      return answer(1);
  }
  return CModalDialog::OnMessage(msg, wp, lp, result);
}

void CMousePositionTool::OnOK() {
  MousePosition position;
  const bool window = IsButtonChecked(IDC_MP_WINDOW);
  position.field1 = window ? "WND:" + ItemText(IDC_MP_NAME) : std::string();
  char size[32];
  std::snprintf(size, sizeof size, "%dx%d", ItemInt(IDC_MP_X).value_or(0), ItemInt(IDC_MP_Y).value_or(0));
  position.field2 = size;
  m_result = position;
  RemoveHook();
  CModalDialog::OnOK();
}

void CMousePositionTool::OnCancel() {
  RemoveHook();
  CModalDialog::OnCancel();
}

}  // namespace vexa::shell
