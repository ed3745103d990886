#pragma once
// The main window: the configuration window and owner of the tray icon.
#include "vexa/winlib/notify_icon.h"
#include "vexa/winlib/tree_view.h"
#include "vexa/winlib/window.h"

namespace vexa {
class CCmdTree;
}

namespace vexa::shell {

inline constexpr const wchar_t* kMainWindowClass = L"VexaMainWindow";
inline constexpr const wchar_t* kMainWindowTitle = L"Vexa";

class CMainWindow : public win::CWindow {
 public:
  static constexpr UINT kTrayMessage = 0x464;
  static constexpr UINT kTrayIconId = 1;
  static constexpr UINT kTreeViewId = 100;
  enum MenuCommand : UINT { kCmdOpen = 1001, kCmdExit = 1002 };

  // Creates the window hidden and adds the tray icon. The icons must outlive the window.
  bool Create(HICON icon, HICON smallIcon);
  void ShowCommandTree(const CCmdTree& tree);
  // Shows the window and brings it forward, as the tray menu's "Open" does.
  void Open();
  // Leaves the program: removes the tray icon and ends the message loop.
  void Exit();

  bool HasTrayIcon() const { return m_tray.IsAdded(); }
  const win::CTreeView& TreeView() const { return m_tree; }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void LayOut();
  void OnTrayNotify(LPARAM event);
  void ShowTrayMenu();
  bool OnCommand(UINT id);

  win::CTreeView m_tree;
  win::CNotifyIcon m_tray;
};

}  // namespace vexa::shell
