#pragma once
// The command editor ("Command definition"): one tab per layout, each with
// "Layout Name", the action list and its toolbar and menu, "Hot Key", "Allow
// repeated commands", "Disable OSD", "Add Layout" and "Remove"; and the
// "Button" field that takes the command's name from the next press of the
// remote. A thin view over CCommandEditor, which holds every rule.
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vexa/model/catalogue.h"
#include "vexa/model/command_editor.h"
#include "vexa/shell/win/action_sources.h"
#include "vexa/winlib/dialog.h"
#include "vexa/winlib/prompt.h"

namespace vexa {
class APPFOLDER;
class CCmdItem;
class CCmdTree;
}  // namespace vexa

namespace vexa::exec {
struct CActionServices;
}

namespace vexa::shell {

inline constexpr const wchar_t* kCaptureWaiting = L"Press a button on the remote control...";

struct CommandPageHooks {
  HWND mainWindow = nullptr;  // takes 0x469/0x46A
  std::filesystem::path programFolder;
  // The window that takes the next new press (null: none).
  std::function<void(HWND window)> setButtonCapture;
  // The command item was renamed (the tree shows the new label).
  std::function<void(const CCmdItem& item)> itemRenamed;
  // Its actions changed (the tree's icon shows whether it is valid).
  std::function<void(const CCmdItem& item)> iconChanged;
  // Where questions and messages go; message boxes when null.
  win::IPrompt* prompt = nullptr;
  // The actions' services, whose system and mixer give the Action Definition
  // dialog its choices (null: this machine's).
  std::function<exec::CActionServices*()> services;
};

class CCommandPage : public win::CModelessDialog {
 public:
  CCommandPage(CCmdTree& tree, CommandPageHooks hooks);
  ~CCommandPage() override;
  bool Create(HWND parent);

  // The command shown: a tree item's, or a folder's application command
  // (item null). Null shows nothing.
  void ShowCommand(CCmdArray* command, CCmdItem* item, const APPFOLDER* folder);
  CCmdArray* Command() const { return m_editor ? &m_editor->command() : nullptr; }
  CCommandEditor* Editor() { return m_editor.get(); }
  const CHotKeyField& HotKeyField() const { return m_hotKey; }

  // Selected positions of the action list, ascending.
  Selection SelectedActions() const;
  void SelectActions(const Selection& selection);
  void CancelCapture();
  bool IsCapturing() const { return m_capturing; }

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification, HWND control) override;
  bool OnNotify(int id, NMHDR& header, LRESULT& result) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

 private:
  void FillTabs();
  void ShowLayout();
  void FillActions(const Selection& select = {});
  void UpdateTools();
  void ApplyLayoutName();
  void NewAction();
  void EditAction();
  void RunCommand(int id);
  void ShowListMenu(POINT screen);
  bool CanCapture() const;
  void StartCapture();
  void Captured(const std::string& button);
  int Ask(const std::wstring& text, const std::wstring& title, UINT type) const;
  void Changed();
  // "Held for [ ] ms runs [command]": the command's held-button setting.
  void ShowHold();
  // `final`: the field was left, so a value that cannot be kept is said and undone.
  void ApplyHold(bool final);

  CCmdTree& m_tree;
  CommandPageHooks m_hooks;
  std::unique_ptr<CCommandEditor> m_editor;
  CCmdItem* m_item = nullptr;
  const APPFOLDER* m_folder = nullptr;
  CHotKeyField m_hotKey;
  HIMAGELIST m_images = nullptr;
  bool m_loading = false;
  bool m_capturing = false;
  std::vector<const CCmdArray*> m_holdTargets;  // the target list's entries, in order
};

// "Advanced" of an application folder: the editor in a modal dialog.
class CCommandDefinitionDialog : public win::CModalDialog {
 public:
  CCommandDefinitionDialog(CCmdTree& tree, CCmdArray& command, const APPFOLDER* folder, CommandPageHooks hooks)
      : m_page(tree, std::move(hooks)), m_command(command), m_folder(folder) {}
  INT_PTR Run(HWND owner);
  CCommandPage& Page() { return m_page; }

 protected:
  bool OnInitDialog() override;

 private:
  CCommandPage m_page;
  CCmdArray& m_command;
  const APPFOLDER* m_folder;
};

}  // namespace vexa::shell
