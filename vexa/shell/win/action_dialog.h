#pragma once
// "Action Definition": edits one action record (a copy; the caller stores it
// on OK, so a running command never sees a half-edited action).
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "vexa/model/catalogue.h"
#include "vexa/model/cmd.h"
#include "vexa/winlib/dialog.h"

namespace vexa {
class IMixer;
}
namespace vexa::exec {
class ISystemActions;
}

namespace vexa::shell {

struct ActionDialogContext {
  bool isNew = true;
  size_t actionsInLayout = 0;  // for a new action: the layout's count before it
  int position = -1;           // of an existing action
  std::string folderFile;      // shown for flag-2 types with an empty field 1
  std::string folderWindow;    // shown for flag-4 types with an empty field 1
  std::vector<std::string> layouts;  // of the command being edited ("Switch Layout")
  std::filesystem::path programFolder;  // its "vk.key"
  HWND mainWindow = nullptr;   // takes 0x469/0x46A
  // Where the lists of field 1 come from: the actions' own services, so that
  // the choices are what the actions will find. Null: this machine's.
  exec::ISystemActions* system = nullptr;
  IMixer* mixer = nullptr;
  // Replaceable message box titled `title`.
  std::function<void(const std::wstring& text, const std::wstring& title)> tell;
};

class CActionDefinitionDialog : public win::CModalDialog {
 public:
  CActionDefinitionDialog(CMD action, ActionDialogContext context);
  // True on OK; then Action() holds what was entered.
  bool Run(HWND owner);
  const CMD& Action() const { return m_action; }

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification, HWND control) override;
  bool OnNotify(int id, NMHDR& header, LRESULT& result) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;
  void OnOK() override;

 private:
  void FillTree();
  // The catalogue entry selected in the tree; null for a group or nothing.
  const CatalogueEntry* SelectedEntry() const;
  void TypeSelected();
  // Field 1 of a type the old value does not fit: what the dialog shows for an empty field.
  std::string DefaultField1(const CatalogueEntry& entry) const;
  void FillChoices(const CatalogueEntry& entry, const std::string& current);
  std::vector<std::string> ChoicesOf(const CatalogueEntry& entry) const;
  std::vector<std::string> SystemChoices(const CatalogueEntry& entry) const;
  bool NothingChosen(const CatalogueEntry& entry);
  std::string Field1() const;
  void SetField1(const std::string& text);
  void BrowseField1();
  void BrowseField2();
  bool PickWindow();
  void SyncDelay(bool fromSlider);
  void Tell(const std::wstring& text, const std::wstring& title) const;

  CMD m_action;
  ActionDialogContext m_context;
  const CatalogueEntry* m_filledFor = nullptr;
  const CatalogueEntry* m_shown = nullptr;  // the type the fields' values belong to
  bool m_choiceMode = false;
  bool m_syncing = false;
};

}  // namespace vexa::shell
