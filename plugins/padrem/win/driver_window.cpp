#include "plugins/padrem/win/driver_window.h"

#include "plugins/kit/win/delivery.h"
#include "vexa/device/plugin_abi.h"

namespace vexa::padrem {

namespace {
constexpr const wchar_t* kName = L"LgDrvMsgWnd";
constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kRepeatMs = 100;
constexpr WPARAM kKeyDownBit = 0x8000;
constexpr WPARAM kKeyCodeMask = 0x3FF;
}  // namespace

bool CDriverWindow::Create() {
  if (IsCreated()) return true;
  return RegisterWindowClass(kName) && win::CWindow::Create(kName, kName, WS_POPUP);
}

LRESULT CDriverWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kKeyMessage) {
    if (wp & kKeyDownBit) {
      KeyDown(static_cast<uint32_t>(wp & kKeyCodeMask));
    } else {
      KillTimer(Handle(), kRepeatTimer);
      m_current.reset();
    }
    return 0;
  }
  if (msg == WM_TIMER && wp == kRepeatTimer) {
    if (m_current) Send(++m_repeat);
    return 0;
  }
  return win::CWindow::OnMessage(msg, wp, lp);
}

void CDriverWindow::KeyDown(uint32_t code) {
  if (m_hooks.learning()) {
    if (HWND learn = FindWindowA(nullptr, "Learn")) SendMessageA(learn, abi::kVexaMessage, 0, code);
    return;
  }
  m_current = m_hooks.lookup(code);
  if (!m_current) return;
  m_repeat = 0;
  Send(0);
  SetTimer(Handle(), kRepeatTimer, kRepeatMs, nullptr);
}

void CDriverWindow::Send(int32_t repeat) {
  kit::deliverCommand(m_hooks.hostWindow(), m_current->remote, m_current->command, repeat);
}

}  // namespace vexa::padrem
