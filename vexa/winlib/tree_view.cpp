#include "vexa/winlib/tree_view.h"

namespace vexa::win {

bool CTreeView::Create(HWND parent, UINT id, DWORD extraStyle) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES |
                      TVS_LINESATROOT | TVS_SHOWSELALWAYS | extraStyle;
  m_hwnd = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"", style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
  return m_hwnd != nullptr;
}

HTREEITEM CTreeView::InsertItem(HTREEITEM parent, const std::wstring& text, LPARAM data) {
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent ? parent : TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM;
  insert.item.pszText = const_cast<wchar_t*>(text.c_str());
  insert.item.lParam = data;
  return TreeView_InsertItem(m_hwnd, &insert);
}

bool CTreeView::IsExpanded(HTREEITEM item) const {
  return (TreeView_GetItemState(m_hwnd, item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

std::wstring treeItemText(HWND tree, HTREEITEM item) {
  // Labels are names of remotes and commands; this is far beyond any real one.
  wchar_t buffer[1024] = {};
  TVITEMW tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = buffer;
  tv.cchTextMax = static_cast<int>(std::size(buffer));
  if (!item || !TreeView_GetItem(tree, &tv)) return {};
  return buffer;
}

std::wstring CTreeView::ItemText(HTREEITEM item) const { return treeItemText(m_hwnd, item); }

}  // namespace vexa::win
