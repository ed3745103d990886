#pragma once
// The page area beside the command tree: which page the selection shows
// (the remote page, the command editor, the application folder page, the
// explanation of "No running applications", the "Startup Macro" hint, the
// nothing-selected hint). The main window creates it with a parent and an
// area, tells it the selection and its layout, and nothing else.
#include <windows.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vexa/shell/win/app_folder_page.h"
#include "vexa/shell/win/command_page.h"
#include "vexa/winlib/dialog.h"

namespace vexa {
class CCmdItem;
class CCmdTree;
}  // namespace vexa

namespace vexa::shell {

inline constexpr const char* kNothingSelectedHint =
    "Right click the remote control label to add commands or applications.";
inline constexpr const char* kStartupMacroHint =
    "'Startup Macro' is a predefined remote control name. Commands under this folder will be executed "
    "automatically at startup.";
inline constexpr const char* kNoRunningApplicationsText =
    "Commands under this folder will be executed only if no other defined application is running.\nGlobal "
    "commands directly under the remote control folder are always available.";
inline constexpr const char* kFolderCommandsText = "Commands under this folder will be executed only if the application is running.";

struct CommandPagesHooks {
  CommandPageHooks command;    // the command editor's (also "Advanced")
  AppFolderPageHooks folder;   // the folder page's; "Advanced" and the window picker are filled in here
};

class CCommandPages {
 public:
  enum class Shown { None, Hint, Remote, Command, Folder, Explanation };

  CCommandPages(CCmdTree& tree, CommandPagesHooks hooks);
  ~CCommandPages();
  bool Create(HWND parent, const RECT& area);
  void Move(const RECT& area);
  // Shows or hides the whole area (another page group of the main window is up).
  void Show(bool visible);
  void ShowSelection(CCmdItem* item);

  Shown Current() const { return m_shown; }
  HWND CurrentPage() const;
  CCommandPage& CommandPage() { return *m_command; }
  CAppFolderPage& FolderPage() { return *m_folder; }
  // The text of the explanation page (hints and the remote page).
  std::string ExplanationText() const;

  // "Advanced" of a folder: the command editor on its application command.
  INT_PTR RunAdvanced(CCmdItem& folder);

 private:
  void ShowOnly(Shown shown);

  class CExplanationPage;
  CCmdTree& m_tree;
  CommandPagesHooks m_hooks;
  std::unique_ptr<CExplanationPage> m_explanation;
  std::unique_ptr<CCommandPage> m_command;
  std::unique_ptr<CAppFolderPage> m_folder;
  Shown m_shown = Shown::None;
  bool m_visible = true;
};

}  // namespace vexa::shell
