#include "vexa/shell/win/command_tree_editor.h"

#include <windowsx.h>

#include "vexa/base/errors.h"
#include "vexa/model/app_library.h"
#include "vexa/model/names.h"
#include "vexa/codec/profile_file.h"
#include "vexa/winlib/menu.h"
#include "vexa/winlib/system_code_page.h"
#include "vexa/winlib/unicode.h"
#include "vexa/shell/win/window_titles.h"

namespace vexa::shell {

std::optional<TreeOp> treeOpOf(std::string_view label) {
  static const std::pair<std::string_view, TreeOp> kOps[] = {
      {"&New Remote", TreeOp::NewRemote},       {"New Application", TreeOp::NewApplication},
      {"New &Command", TreeOp::NewCommand},     {"&New Command", TreeOp::NewCommand},
      {"&Delete Remote", TreeOp::Delete},       {"Delete Application", TreeOp::Delete},
      {"&Delete Command", TreeOp::Delete},      {"&Rename Remote", TreeOp::Rename},
      {"Rename Application", TreeOp::Rename},   {"&Rename Command", TreeOp::Rename},
      {"&Copy", TreeOp::Copy},                  {"Cu&t", TreeOp::Cut},
      {"&Paste Command", TreeOp::Paste},        {"&Paste", TreeOp::Paste},
      {"Export Application", TreeOp::Export},   {"T&est", TreeOp::Test},
  };
  for (const auto& [text, op] : kOps)
    if (text == label) return op;
  return std::nullopt;
}

CCommandTreeEditor::CCommandTreeEditor(win::CTreeView& view, CCmdTree& tree, TreeEditorHooks hooks)
    : m_view(view), m_tree(tree), m_hooks(std::move(hooks)) {
  const HWND h = m_view.Handle();
  SetWindowLongPtrW(h, GWL_STYLE, GetWindowLongPtrW(h, GWL_STYLE) | TVS_EDITLABELS);
  TreeView_SetImageList(h, m_icons.List(), TVSIL_NORMAL);
  m_tree.setModifiedHook([this] { Modified(); });
}

CCommandTreeEditor::~CCommandTreeEditor() {
  EndDrag(false);
  m_tree.setModifiedHook({});
  if (IsWindow(m_view.Handle())) {
    TreeView_DeleteAllItems(m_view.Handle());
    TreeView_SetImageList(m_view.Handle(), nullptr, TVSIL_NORMAL);
  }
}

void CCommandTreeEditor::Modified() {
  if (m_hooks.modified) m_hooks.modified();
}

int CCommandTreeEditor::Ask(const std::wstring& text, UINT type) const {
  win::IPrompt& prompt = m_hooks.prompt ? *m_hooks.prompt : win::MessageBoxes();
  return prompt.Ask(GetParent(m_view.Handle()), text, kMainWindowTitle, type);
}

// ---- The control ------------------------------------------------------------------------

HTREEITEM CCommandTreeEditor::Insert(HTREEITEM parent, const CCmdItem& item,
                                     const std::set<const CCmdItem*>& expanded) {
  const std::wstring text = win::toWide(item.label());
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent ? parent : TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
  insert.item.pszText = const_cast<wchar_t*>(text.c_str());
  insert.item.lParam = reinterpret_cast<LPARAM>(&item);
  insert.item.iImage = insert.item.iSelectedImage = m_icons.SlotOf(item);
  insert.item.stateMask = TVIS_CUT;
  insert.item.state = item.isCut() ? TVIS_CUT : 0;
  const HTREEITEM node = TreeView_InsertItem(m_view.Handle(), &insert);
  for (const auto& child : item.children()) Insert(node, *child, expanded);
  if (!parent || expanded.count(&item)) TreeView_Expand(m_view.Handle(), node, TVE_EXPAND);
  return node;
}

void CCommandTreeEditor::Refresh(const CCmdItem* select) {
  const HWND h = m_view.Handle();
  std::set<const CCmdItem*> expanded;
  std::vector<HTREEITEM> stack;
  for (HTREEITEM i = TreeView_GetRoot(h); i; i = TreeView_GetNextSibling(h, i)) stack.push_back(i);
  while (!stack.empty()) {
    const HTREEITEM i = stack.back();
    stack.pop_back();
    TVITEMW tv{};
    tv.mask = TVIF_PARAM | TVIF_STATE;
    tv.stateMask = TVIS_EXPANDED;
    tv.hItem = i;
    if (TreeView_GetItem(h, &tv) && (tv.state & TVIS_EXPANDED)) expanded.insert(reinterpret_cast<CCmdItem*>(tv.lParam));
    for (HTREEITEM c = TreeView_GetChild(h, i); c; c = TreeView_GetNextSibling(h, c)) stack.push_back(c);
  }
  if (!select) select = Selected();
  for (const CCmdItem* p = select ? select->parent() : nullptr; p; p = p->parent()) expanded.insert(p);
  // Redrawing after every insert is slow for large configurations.
  SendMessageW(h, WM_SETREDRAW, FALSE, 0);
  m_refreshing = true;  // the items' objects may be gone: no notification may look at them
  TreeView_SelectItem(h, nullptr);
  TreeView_DeleteAllItems(h);
  m_refreshing = false;
  for (const auto& remote : m_tree.remotes()) Insert(nullptr, *remote, expanded);
  SendMessageW(h, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(h, nullptr, TRUE);
  Select(select);
}

HTREEITEM CCommandTreeEditor::Find(HTREEITEM from, const CCmdItem* item) const {
  const HWND h = m_view.Handle();
  for (HTREEITEM i = from; i; i = TreeView_GetNextSibling(h, i)) {
    TVITEMW tv{};
    tv.mask = TVIF_PARAM;
    tv.hItem = i;
    if (TreeView_GetItem(h, &tv) && reinterpret_cast<const CCmdItem*>(tv.lParam) == item) return i;
    if (const HTREEITEM below = Find(TreeView_GetChild(h, i), item)) return below;
  }
  return nullptr;
}

HTREEITEM CCommandTreeEditor::ItemOf(const CCmdItem* item) const {
  return item ? Find(TreeView_GetRoot(m_view.Handle()), item) : nullptr;
}

CCmdItem* CCommandTreeEditor::Selected() const {
  const HTREEITEM i = TreeView_GetSelection(m_view.Handle());
  if (!i) return nullptr;
  TVITEMW tv{};
  tv.mask = TVIF_PARAM;
  tv.hItem = i;
  return TreeView_GetItem(m_view.Handle(), &tv) ? reinterpret_cast<CCmdItem*>(tv.lParam) : nullptr;
}

void CCommandTreeEditor::Select(const CCmdItem* item) {
  TreeView_SelectItem(m_view.Handle(), ItemOf(item));
}

void CCommandTreeEditor::RefreshIcon(const CCmdItem& item) {
  TVITEMW tv{};
  tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  tv.hItem = ItemOf(&item);
  if (!tv.hItem) return;
  tv.iImage = tv.iSelectedImage = m_icons.SlotOf(item);
  TreeView_SetItem(m_view.Handle(), &tv);
}

void CCommandTreeEditor::StartEditing(const CCmdItem* item) {
  if (const HTREEITEM i = ItemOf(item)) {
    SetFocus(m_view.Handle());
    TreeView_EditLabel(m_view.Handle(), i);
  }
}

// ---- Menus and operations --------------------------------------------------------------

std::vector<std::pair<TreeOp, MenuEntry>> CCommandTreeEditor::MenuFor(const CCmdItem* item) const {
  std::vector<std::pair<TreeOp, MenuEntry>> menu;
  for (MenuEntry& entry : m_tree.contextMenu(item))
    if (const auto op = treeOpOf(entry.label)) menu.emplace_back(*op, std::move(entry));
  return menu;
}

void CCommandTreeEditor::ShowContextMenu(HWND owner, POINT screen) {
  TVHITTESTINFO hit{};
  hit.pt = screen;
  ScreenToClient(m_view.Handle(), &hit.pt);
  const HTREEITEM at = TreeView_HitTest(m_view.Handle(), &hit);
  if (at && (hit.flags & TVHT_ONITEM)) TreeView_SelectItem(m_view.Handle(), at);
  CCmdItem* item = at && (hit.flags & TVHT_ONITEM) ? Selected() : nullptr;
  win::CMenu menu;
  if (!menu.CreatePopup()) return;
  for (const auto& [op, entry] : MenuFor(item))
    AppendMenuW(menu.Get(), MF_STRING | (entry.enabled ? 0 : MF_GRAYED), static_cast<UINT>(op),
                win::toWide(entry.label).c_str());
  if (const UINT chosen = menu.Track(owner, screen)) Execute(static_cast<TreeOp>(chosen), item);
}

void CCommandTreeEditor::Execute(TreeOp op, CCmdItem* item) {
  CCmdItem* made = nullptr;
  switch (op) {
    case TreeOp::NewRemote: made = &m_tree.newRemote(); break;
    case TreeOp::NewApplication: made = item ? m_tree.newApplication(*item) : nullptr; break;
    case TreeOp::NewCommand: made = item ? m_tree.newCommand(*item) : nullptr; break;
    case TreeOp::Delete:
      if (!item) return;
      // Off the control while its object still exists.
      TreeView_SelectItem(m_view.Handle(), nullptr);
      TreeView_DeleteItem(m_view.Handle(), ItemOf(item));
      Refresh(m_tree.deleteItem(*item));
      return;
    case TreeOp::Rename: StartEditing(item); return;
    case TreeOp::Copy:
    case TreeOp::Cut:
      if (!item) return;
      op == TreeOp::Copy ? m_tree.copy(*item) : m_tree.cut(*item);
      Refresh(item);  // the cut state shows
      return;
    case TreeOp::Paste:
      if (CCmdItem* pasted = m_tree.paste(item)) Refresh(pasted);
      else Refresh(item);
      return;
    case TreeOp::Export:
      if (item && item->kind() == ItemKind::Folder) ExportApplication(*item);
      return;
    case TreeOp::Test:
      if (item && item->kind() == ItemKind::Command && m_hooks.test) m_hooks.test(*item);
      return;
  }
  if (!made) return;
  Refresh(made);
  StartEditing(made);
}

// ---- Renaming --------------------------------------------------------------------------

bool CCommandTreeEditor::EndLabelEdit(CCmdItem& item, const wchar_t* text) {
  if (!text) return false;  // editing cancelled
  const std::string name = win::toUtf8(text);
  if (item.kind() == ItemKind::Folder && !name.empty() && name != item.label() && !hasReservedChar(name))
    return RenameFolder(item, name);
  switch (m_tree.rename(item, name)) {
    case RenameResult::Renamed: return true;
    case RenameResult::ReservedChar:
      Ask(win::toWide(kMsgReservedName), MB_OK | MB_ICONEXCLAMATION);
      return false;
    case RenameResult::Duplicate:
      Ask(win::toWide(kMsgNameExists), MB_OK | MB_ICONEXCLAMATION);
      // Editing goes on once this edit has closed.
      PostMessageW(m_view.Handle(), TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(ItemOf(&item)));
      return false;
    case RenameResult::Ignored: return false;
  }
  return false;
}

bool CCommandTreeEditor::RenameFolder(CCmdItem& folder, const std::string& name) {
  const auto layout = findLayout(m_hooks.programFolder, name);
  if (layout && !folder.children().empty() && Ask(kLoadLayoutQuestion, MB_YESNO | MB_ICONQUESTION) != IDYES)
    return false;
  switch (m_tree.rename(folder, name)) {
    case RenameResult::Renamed: break;
    case RenameResult::Duplicate:
      Ask(win::toWide(kMsgNameExists), MB_OK | MB_ICONEXCLAMATION);
      PostMessageW(m_view.Handle(), TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(ItemOf(&folder)));
      return false;
    default: return false;
  }
  if (!layout) return true;
  try {
    CProfileTree keys;
    loadProfileFile(*layout, keys, win::CSystemCodePage());
    const auto resolve = m_hooks.resolve ? m_hooks.resolve : [](std::string_view p) { return std::string(p); };
    if (!loadLayout(m_tree, folder, keys, resolve)) return true;
  } catch (const std::exception& e) {
    Ask(win::toWide(e.what()), MB_OK | MB_ICONERROR);
    return true;
  }
  // The folder's own item stays (the control is still editing it); its children are redone.
  const HWND h = m_view.Handle();
  const HTREEITEM node = ItemOf(&folder);
  while (const HTREEITEM child = TreeView_GetChild(h, node)) TreeView_DeleteItem(h, child);
  for (const auto& child : folder.children()) Insert(node, *child, {});
  TreeView_Expand(h, node, TVE_EXPAND);
  RefreshIcon(folder);
  if (!m_hinted) {
    m_hinted = true;
    Ask(kCustomizeHint, MB_OK | MB_ICONINFORMATION);
  }
  if (m_hooks.selectionChanged) m_hooks.selectionChanged(&folder);
  return true;
}

void CCommandTreeEditor::ExportApplication(CCmdItem& folder) {
  const std::filesystem::path file = layoutFile(m_hooks.programFolder, folder.label());
  std::error_code ec;
  if (std::filesystem::exists(file, ec)) {
    if (Ask(kExportOverwriteQuestion, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
      StartEditing(&folder);
      return;
    }
    std::filesystem::remove(file, ec);
  }
  try {
    exportLayout(folder, file, win::CSystemCodePage());
  } catch (const std::exception& e) {
    Ask(win::toWide(e.what()), MB_OK | MB_ICONERROR);
  }
}

// ---- Notifications ---------------------------------------------------------------------

std::optional<LRESULT> CCommandTreeEditor::OnNotify(const NMHDR& header) {
  if (m_refreshing) return std::nullopt;
  switch (header.code) {
    case TVN_ENDLABELEDITW: {
      const auto& info = reinterpret_cast<const NMTVDISPINFOW&>(header);
      auto* item = reinterpret_cast<CCmdItem*>(info.item.lParam);
      const bool renamed = item && EndLabelEdit(*item, info.item.pszText);
      // The page beside the tree shows the new name (and what it makes the item, such as "Startup Macro").
      if (renamed && item == Selected() && m_hooks.selectionChanged) m_hooks.selectionChanged(item);
      return renamed ? TRUE : FALSE;
    }
    case TVN_SELCHANGEDW: {
      const auto& info = reinterpret_cast<const NMTREEVIEWW&>(header);
      // Both icons are redone: a command or folder may have become valid meanwhile.
      if (auto* old = reinterpret_cast<CCmdItem*>(info.itemOld.lParam)) RefreshIcon(*old);
      auto* now = reinterpret_cast<CCmdItem*>(info.itemNew.lParam);
      if (now) RefreshIcon(*now);
      if (m_hooks.selectionChanged) m_hooks.selectionChanged(now);
      return 0;
    }
    case TVN_BEGINDRAGW: {
      const auto& info = reinterpret_cast<const NMTREEVIEWW&>(header);
      if (auto* item = reinterpret_cast<CCmdItem*>(info.itemNew.lParam); item && item->kind() == ItemKind::Command)
        BeginDrag(*item);
      return 0;
    }
    case NM_RCLICK: {
      POINT at{};
      GetCursorPos(&at);
      ShowContextMenu(GetParent(m_view.Handle()), at);
      return 1;
    }
  }
  return std::nullopt;
}

// ---- Drag and drop ---------------------------------------------------------------------

void CCommandTreeEditor::BeginDrag(CCmdItem& command) {
  EndDrag(false);
  m_dragged = &command;
  SetWindowSubclass(m_view.Handle(), DragProc, 1, reinterpret_cast<DWORD_PTR>(this));
  SetCapture(m_view.Handle());
}

void CCommandTreeEditor::DragTo(POINT client) {
  const HWND h = m_view.Handle();
  RECT area{};
  GetClientRect(h, &area);
  // Near an edge the tree scrolls towards it.
  if (client.y < area.top + kDragScrollMargin)
    SendMessageW(h, WM_VSCROLL, MAKEWPARAM(SB_LINEUP, 0), 0);
  else if (client.y > area.bottom - kDragScrollMargin)
    SendMessageW(h, WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
  TVHITTESTINFO hit{};
  hit.pt = client;
  const HTREEITEM at = TreeView_HitTest(h, &hit);
  m_dropTarget = at && (hit.flags & TVHT_ONITEM) ? at : nullptr;
  TreeView_SelectDropTarget(h, m_dropTarget);
}

void CCommandTreeEditor::EndDrag(bool drop) {
  if (!m_dragged) return;
  CCmdItem* dragged = m_dragged;
  const HTREEITEM target = m_dropTarget;
  m_dragged = nullptr;
  m_dropTarget = nullptr;
  const HWND h = m_view.Handle();
  if (IsWindow(h)) {
    RemoveWindowSubclass(h, DragProc, 1);
    if (GetCapture() == h) ReleaseCapture();
    TreeView_SelectDropTarget(h, nullptr);
  }
  if (!drop || !target) return;
  TVITEMW tv{};
  tv.mask = TVIF_PARAM;
  tv.hItem = target;
  if (!TreeView_GetItem(h, &tv) || !tv.lParam) return;
  // The model moves it (and marks the configuration modified); nothing happens where it cannot go.
  if (CCmdItem* moved = m_tree.drop(*dragged, *reinterpret_cast<CCmdItem*>(tv.lParam))) Refresh(moved);
}

LRESULT CALLBACK CCommandTreeEditor::DragProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<CCommandTreeEditor*>(data);
  switch (msg) {
    case WM_MOUSEMOVE:
      self->DragTo({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      return 0;
    case WM_LBUTTONUP:
      self->DragTo({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      self->EndDrag(true);
      return 0;
    case WM_KEYDOWN:
      if (wp == VK_ESCAPE) {
        self->EndDrag(false);
        return 0;
      }
      break;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lp) != hwnd) self->EndDrag(false);
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace vexa::shell
