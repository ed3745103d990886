#pragma once
// A tree-view common control. The parent window owns and destroys it.
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace vexa::win {

// The label of an item of any tree-view control; empty when there is none.
std::wstring treeItemText(HWND tree, HTREEITEM item);

class CTreeView {
 public:
  bool Create(HWND parent, UINT id, DWORD extraStyle = 0);
  HWND Handle() const { return m_hwnd; }

  HTREEITEM InsertItem(HTREEITEM parent, const std::wstring& text, LPARAM data = 0);
  bool DeleteAllItems() { return TreeView_DeleteAllItems(m_hwnd) != FALSE; }
  bool Expand(HTREEITEM item) { return TreeView_Expand(m_hwnd, item, TVE_EXPAND) != FALSE; }

  unsigned Count() const { return TreeView_GetCount(m_hwnd); }
  HTREEITEM Root() const { return TreeView_GetRoot(m_hwnd); }
  HTREEITEM FirstChild(HTREEITEM item) const { return TreeView_GetChild(m_hwnd, item); }
  HTREEITEM NextSibling(HTREEITEM item) const { return TreeView_GetNextSibling(m_hwnd, item); }
  bool IsExpanded(HTREEITEM item) const;
  std::wstring ItemText(HTREEITEM item) const;

 private:
  HWND m_hwnd = nullptr;
};

}  // namespace vexa::win
