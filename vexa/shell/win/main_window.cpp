#include "vexa/shell/win/main_window.h"

#include "vexa/shell/win/command_tree_view.h"
#include "vexa/winlib/menu.h"

namespace vexa::shell {

bool CMainWindow::Create(HICON icon, HICON smallIcon) {
  if (!RegisterWindowClass(kMainWindowClass, icon, smallIcon)) return false;
  if (!CWindow::Create(kMainWindowClass, kMainWindowTitle, WS_OVERLAPPEDWINDOW, 0,
                       {CW_USEDEFAULT, CW_USEDEFAULT, 640, 480})) {
    return false;
  }
  if (!m_tree.Create(Handle(), kTreeViewId)) {
    Destroy();
    return false;
  }
  LayOut();
  // No tray (no shell running) is not fatal: the window still works.
  m_tray.Add(Handle(), kTrayIconId, kTrayMessage, smallIcon, kMainWindowTitle);
  return true;
}

void CMainWindow::ShowCommandTree(const CCmdTree& tree) { fillCommandTree(m_tree, tree); }

void CMainWindow::Open() {
  Show(IsIconic(Handle()) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(Handle());
}

void CMainWindow::Exit() { Destroy(); }

void CMainWindow::LayOut() {
  RECT client{};
  GetClientRect(Handle(), &client);
  MoveWindow(m_tree.Handle(), 0, 0, client.right, client.bottom, TRUE);
}

void CMainWindow::OnTrayNotify(LPARAM event) {
  switch (LOWORD(event)) {
    case WM_LBUTTONDBLCLK:
      Open();
      break;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
      ShowTrayMenu();
      break;
  }
}

void CMainWindow::ShowTrayMenu() {
  win::CMenu menu;
  if (!menu.CreatePopup()) return;
  menu.AppendItem(kCmdOpen, L"&Open");
  menu.AppendSeparator();
  menu.AppendItem(kCmdExit, L"E&xit");
  menu.SetDefaultItem(kCmdOpen);
  POINT at{};
  GetCursorPos(&at);
  if (const UINT chosen = menu.Track(Handle(), at)) OnCommand(chosen);
}

bool CMainWindow::OnCommand(UINT id) {
  switch (id) {
    case kCmdOpen:
      Open();
      return true;
    case kCmdExit:
      Exit();
      return true;
  }
  return false;
}

LRESULT CMainWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      LayOut();
      return 0;
    case WM_CLOSE:
      // Closing only hides: the program keeps running in the tray.
      Show(SW_HIDE);
      return 0;
    case WM_COMMAND:
      if (OnCommand(LOWORD(wp))) return 0;
      break;
    case kTrayMessage:
      OnTrayNotify(lp);
      return 0;
    case WM_DESTROY:
      m_tray.Remove();
      PostQuitMessage(0);
      return 0;
  }
  return CWindow::OnMessage(msg, wp, lp);
}

}  // namespace vexa::shell
