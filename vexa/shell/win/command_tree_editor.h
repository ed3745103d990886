#pragma once
// The command tree view as the user edits it: context menus, in-place
// renaming with its refusals, delete, copy, cut and paste, new items, item
// icons, and loading or exporting application layouts. Every rule is the
// model's (CCmdTree); this class turns clicks into its operations and keeps
// the control in step.
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/model/cmd_tree.h"
#include "vexa/shell/win/tree_icons.h"
#include "vexa/winlib/prompt.h"
#include "vexa/winlib/tree_view.h"

namespace vexa::shell {

enum class TreeOp : UINT {
  NewRemote = 2001,
  NewApplication,
  NewCommand,
  Delete,
  Rename,
  Copy,
  Cut,
  Paste,
  Export,
  Test,
};

// The operation a context-menu label stands for.
std::optional<TreeOp> treeOpOf(std::string_view label);

inline constexpr const wchar_t* kLoadLayoutQuestion =
    L"All commands of this folder will be removed when loading a new application layout.\nDo you want to continue?";
inline constexpr const wchar_t* kCustomizeHint =
    L"Don't forget to customize the application commands\nto the names of your remote control commands.";
inline constexpr const wchar_t* kExportOverwriteQuestion =
    L"A configuration file for an application with this name already exists.\nClick OK to overwrite it, or CANCEL "
    L"to rename the application and try again";

struct TreeEditorHooks {
  // Where questions go (titled "Vexa"); message boxes when null.
  win::IPrompt* prompt = nullptr;
  std::function<void()> modified;
  std::function<void(const CCmdItem& command)> test;          // "T&est"
  std::function<void(CCmdItem* selected)> selectionChanged;
  // A placeholder file name to a path (interactive where the caller wants).
  std::function<std::string(std::string_view placeholder)> resolve;
  std::filesystem::path programFolder;  // its "apps" holds the layouts
};

class CCommandTreeEditor {
 public:
  CCommandTreeEditor(win::CTreeView& view, CCmdTree& tree, TreeEditorHooks hooks);
  ~CCommandTreeEditor();
  CCommandTreeEditor(const CCommandTreeEditor&) = delete;
  CCommandTreeEditor& operator=(const CCommandTreeEditor&) = delete;

  // Refills the control from the model, keeping what was expanded and selected.
  void Refresh(const CCmdItem* select = nullptr);
  void RefreshIcon(const CCmdItem& item);

  CCmdItem* Selected() const;
  void Select(const CCmdItem* item);
  HTREEITEM ItemOf(const CCmdItem* item) const;

  // The menu for an item (null: empty space), with each entry's operation.
  std::vector<std::pair<TreeOp, MenuEntry>> MenuFor(const CCmdItem* item) const;
  // Right click at a screen point: selects the item there and shows its menu.
  void ShowContextMenu(HWND owner, POINT screen);
  void Execute(TreeOp op, CCmdItem* item);

  // The tree view's notifications; nothing when not handled.
  std::optional<LRESULT> OnNotify(const NMHDR& header);
  // End of in-place editing: whether the control keeps the text.
  bool EndLabelEdit(CCmdItem& item, const wchar_t* text);
  void ExportApplication(CCmdItem& folder);

  // Drag and drop of a command: started by the control's begin-drag, then
  // the control's own mouse messages (it holds the capture) scroll at its
  // edges, highlight the drop target and drop.
  void BeginDrag(CCmdItem& command);
  CCmdItem* Dragged() const { return m_dragged; }
  HTREEITEM DropTarget() const { return m_dropTarget; }
  static constexpr int kDragScrollMargin = 5;

 private:
  static LRESULT CALLBACK DragProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data);
  void DragTo(POINT client);
  void EndDrag(bool drop);
  bool RenameFolder(CCmdItem& folder, const std::string& name);
  void StartEditing(const CCmdItem* item);
  void Modified();
  int Ask(const std::wstring& text, UINT type) const;
  HTREEITEM Insert(HTREEITEM parent, const CCmdItem& item, const std::set<const CCmdItem*>& expanded);
  HTREEITEM Find(HTREEITEM from, const CCmdItem* item) const;

  win::CTreeView& m_view;
  CCmdTree& m_tree;
  TreeEditorHooks m_hooks;
  CTreeIcons m_icons;
  bool m_hinted = false;
  bool m_refreshing = false;  // the customising hint, once per run of the program
  CCmdItem* m_dragged = nullptr;
  HTREEITEM m_dropTarget = nullptr;
};

}  // namespace vexa::shell
