#include "vexa/shell/win/command_tree_view.h"

#include "vexa/model/cmd_tree.h"
#include "vexa/winlib/unicode.h"

namespace vexa::shell {

namespace {

void insertItem(win::CTreeView& view, HTREEITEM parent, const CCmdItem& item) {
  const HTREEITEM node =
      view.InsertItem(parent, win::toWide(item.label()), reinterpret_cast<LPARAM>(&item));
  for (const auto& child : item.children()) insertItem(view, node, *child);
}

}  // namespace

void fillCommandTree(win::CTreeView& view, const CCmdTree& tree) {
  // Redrawing after every insert is slow for large configurations.
  SendMessageW(view.Handle(), WM_SETREDRAW, FALSE, 0);
  view.DeleteAllItems();
  for (const auto& remote : tree.remotes()) insertItem(view, nullptr, *remote);
  for (HTREEITEM item = view.Root(); item != nullptr; item = view.NextSibling(item)) {
    view.Expand(item);
  }
  SendMessageW(view.Handle(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(view.Handle(), nullptr, TRUE);
}

}  // namespace vexa::shell
