#pragma once
// The page beside the command tree for an application folder: its file, the
// button that starts it, and its four flags.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "vexa/winlib/prompt.h"
#include "vexa/winlib/window.h"

namespace vexa {
class CCmdItem;
class CCmdTree;
}  // namespace vexa

namespace vexa::shell {

inline constexpr const wchar_t* kSwitchLayoutsQuestion =
    L"For switching layouts simultaneously, all commands of this application must have the same amount of "
    L"layouts.\nClick OK if Vexa should add missing layouts automatically.";
inline constexpr const wchar_t* kExecutableFilter = L"Executable files (*.exe)|*.exe|All files (*.*)|*.*||";

struct AppFolderPageHooks {
  win::IPrompt* prompt = nullptr;  // questions titled "Vexa"; message boxes when null
  std::function<void(const CCmdItem& folder)> iconChanged;
  // Button names the device host knows for a remote.
  std::function<std::vector<std::string>(const std::string& remote)> commandNames;
  // "Advanced": the command editor on the folder's application command.
  std::function<void(CCmdItem& folder)> advanced;
  // The "Window Name" browse button: a window title, nothing on Cancel.
  std::function<std::optional<std::string>()> pickWindow;
};

class CAppFolderPage : public win::CWindow {
 public:
  enum ControlId : int {
    kFrame = 300, kIcon, kFileLabel, kFileName, kBrowse, kCommandLabel, kCommand,
    kForeground, kDisableServer, kSwitchLayouts, kRememberLayout, kWindowLabel, kWindowName, kAdvanced, kWindowBrowse,
  };

  CAppFolderPage(CCmdTree& tree, AppFolderPageHooks hooks);
  bool Create(HWND parent, const RECT& area);
  // The folder shown; null shows "No Selection".
  void ShowFolder(CCmdItem* folder);
  CCmdItem* Folder() const { return m_folder; }
  HWND Control(ControlId id) const { return GetDlgItem(Handle(), id); }

  // The check box for each flag bit, in the page's order.
  static UINT FlagOf(ControlId box);

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  HWND Add(const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int y, int cx, int cy);
  void OnCommand(int id, int code);
  void OnCheck(ControlId box);
  void OnFileChanged();
  void Browse();
  void FillCommands();
  void UpdateIcon();
  void EnableWindowName();
  int Ask(const std::wstring& text, UINT type) const;

  CCmdTree& m_tree;
  AppFolderPageHooks m_hooks;
  CCmdItem* m_folder = nullptr;
  HICON m_icon = nullptr;
  bool m_loading = false;  // the page sets its controls: no change of the folder
};

}  // namespace vexa::shell
