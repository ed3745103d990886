#include "vexa/shell/win/shutdown_window.h"

#include <commctrl.h>

#include "vexa/shell/res/resource.h"
#include "vexa/winlib/message_loop.h"

namespace vexa::shell {

CShutdownWindow::CShutdownWindow(bool visible) {
  if (!visible || !Create(nullptr, GetModuleHandleW(nullptr), IDD_SHUTDOWN)) return;
  SendItem(IDC_SHUTDOWN_PROGRESS, PBM_SETRANGE32, 0, kSteps);
  ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
  UpdateWindow(m_hwnd);
}

void CShutdownWindow::Step() {
  ++m_steps;
  if (!m_hwnd) return;
  SendItem(IDC_SHUTDOWN_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(m_steps), 0);
  win::WaitDispatchingMessages(nullptr, kStepPauseMs);
}

}  // namespace vexa::shell
