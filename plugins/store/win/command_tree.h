#pragma once
// The command tree of a plug-in's configuration dialog: remotes on top, their
// commands below, with menus, keys and label editing that change the store.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "plugins/store/win/store_ui.h"

namespace vexa::store {

struct TreeFields {
  int tree, remote, command, signature;
};

class CCommandTree {
 public:
  CCommandTree(const StoreUi& ui, TreeFields fields) : m_ui(ui), m_fields(fields) {}
  ~CCommandTree();
  CCommandTree(const CCommandTree&) = delete;
  CCommandTree& operator=(const CCommandTree&) = delete;

  void Attach(HWND dialog);
  void Fill();
  void Clear();
  // The dialog forwards these; true when handled.
  bool OnNotify(NMHDR& header, LRESULT& result);
  bool OnCommand(int id);

 private:
  HWND Tree() const { return GetDlgItem(m_dialog, m_fields.tree); }
  std::string Text(HTREEITEM item) const;
  HTREEITEM Parent(HTREEITEM item) const { return TreeView_GetParent(Tree(), item); }
  HTREEITEM Selected() const { return TreeView_GetSelection(Tree()); }
  HTREEITEM FindTop(const std::string& remote) const;
  HTREEITEM FindChild(HTREEITEM parent, const std::string& command) const;
  HTREEITEM Insert(HTREEITEM parent, const std::string& text, HTREEITEM after);
  void ShowSelection();
  void ShowMenu();
  void NewRemote();
  void DeleteSelected();
  void Learn();
  bool EndLabelEdit(NMTVDISPINFOA& info);
  void Added(const std::string& remote, const std::string& command);
  void Removed(const std::string& remote, const std::string& command);
  int Ask(const std::string& text, UINT type) const;

  const StoreUi& m_ui;
  TreeFields m_fields;
  HWND m_dialog = nullptr;
  HIMAGELIST m_images = nullptr;
  bool m_refusing = false;
};

}  // namespace vexa::store
