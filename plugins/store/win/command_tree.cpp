#include "plugins/store/win/command_tree.h"

#include <cstdio>

#include "plugins/kit/win/module_info.h"
#include "plugins/store/win/learn_dialog.h"
#include "plugins/store/win/store_resource.h"

namespace vexa::store {

namespace {

constexpr int kRemoteImage = 0, kCommandImage = 1;
constexpr COLORREF kTransparent = RGB(255, 0, 255);

// Two 16-pixel images on magenta: a remote (a tall box) and a button (a dot).
HIMAGELIST makeImages() {
  HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 0);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 16);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  HBRUSH background = CreateSolidBrush(kTransparent);
  RECT all{0, 0, 32, 16};
  FillRect(dc, &all, background);
  DeleteObject(background);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(GRAY_BRUSH));
  RoundRect(dc, 4, 1, 12, 15, 3, 3);
  SelectObject(dc, GetStockObject(DKGRAY_BRUSH));
  Ellipse(dc, 20, 4, 28, 12);
  SelectObject(dc, oldBrush);
  SelectObject(dc, old);
  DeleteDC(dc);
  ImageList_AddMasked(images, bitmap, kTransparent);
  DeleteObject(bitmap);
  return images;
}

}  // namespace

CCommandTree::~CCommandTree() {
  if (m_images) ImageList_Destroy(m_images);
}

int CCommandTree::Ask(const std::string& text, UINT type) const {
  return MessageBoxA(m_dialog, text.c_str(), m_ui.caption.c_str(), type);
}

void CCommandTree::Attach(HWND dialog) {
  m_dialog = dialog;
  if (!m_images) m_images = makeImages();
  TreeView_SetImageList(Tree(), m_images, TVSIL_NORMAL);
  Fill();
}

std::string CCommandTree::Text(HTREEITEM item) const {
  char text[kMaxName + 1] = {};
  TVITEMA tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = text;
  tv.cchTextMax = sizeof text;
  SendMessageA(Tree(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
  return text;
}

HTREEITEM CCommandTree::Insert(HTREEITEM parent, const std::string& text, HTREEITEM after) {
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent;
  insert.hInsertAfter = after;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = const_cast<char*>(text.c_str());
  insert.item.iImage = insert.item.iSelectedImage = parent ? kCommandImage : kRemoteImage;
  return reinterpret_cast<HTREEITEM>(SendMessageA(Tree(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

HTREEITEM CCommandTree::FindTop(const std::string& remote) const {
  for (HTREEITEM item = TreeView_GetRoot(Tree()); item; item = TreeView_GetNextSibling(Tree(), item))
    if (equalNoCase(Text(item), remote)) return item;
  return nullptr;
}

HTREEITEM CCommandTree::FindChild(HTREEITEM parent, const std::string& command) const {
  for (HTREEITEM item = TreeView_GetChild(Tree(), parent); item; item = TreeView_GetNextSibling(Tree(), item))
    if (equalNoCase(Text(item), command)) return item;
  return nullptr;
}

void CCommandTree::Clear() {
  if (m_dialog) TreeView_DeleteAllItems(Tree());
}

void CCommandTree::Fill() {
  if (!m_dialog) return;
  Clear();
  for (const std::string& remote : m_ui.store->remoteNames()) {
    HTREEITEM top = Insert(TVI_ROOT, remote, TVI_LAST);
    for (const CommandNode& node : m_ui.store->commands(remote).value_or(CommandList{}))
      Insert(top, node.name, TVI_LAST);
    TreeView_SortChildren(Tree(), top, FALSE);
  }
  TreeView_SortChildren(Tree(), TVI_ROOT, FALSE);
  TreeView_SelectItem(Tree(), TreeView_GetRoot(Tree()));
  ShowSelection();
}

void CCommandTree::ShowSelection() {
  HTREEITEM item = Selected();
  std::string remote, command, signature;
  if (item) {
    HTREEITEM parent = Parent(item);
    remote = " " + Text(parent ? parent : item);
    if (parent) {
      command = " " + Text(item);
      if (auto node = m_ui.store->findByName(Text(parent), Text(item))) {
        char text[16];
        std::snprintf(text, sizeof text, " %04X ", node->code);
        signature = text;
      }
    }
  }
  SetDlgItemTextA(m_dialog, m_fields.remote, remote.c_str());
  SetDlgItemTextA(m_dialog, m_fields.command, command.c_str());
  SetDlgItemTextA(m_dialog, m_fields.signature, signature.c_str());
}

void CCommandTree::ShowMenu() {
  POINT cursor;
  GetCursorPos(&cursor);
  TVHITTESTINFO hit{};
  hit.pt = cursor;
  ScreenToClient(Tree(), &hit.pt);
  HTREEITEM item = TreeView_HitTest(Tree(), &hit);
  if (item) TreeView_SelectItem(Tree(), item);
  const bool onCommand = item && Parent(item);
  HMENU menus = LoadMenuA(kit::thisModule(), onCommand ? "CmdContext" : "RmtContext");
  if (!menus) return;
  HMENU popup = GetSubMenu(menus, 0);
  if (!item) {
    for (UINT id : {ID_STORE_DELETE_REMOTE, ID_STORE_RENAME_REMOTE, ID_STORE_LEARN})
      EnableMenuItem(popup, id, MF_BYCOMMAND | MF_GRAYED);
  }
  TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, m_dialog, nullptr);
  DestroyMenu(menus);
}

bool CCommandTree::OnCommand(int id) {
  switch (id) {
    case ID_STORE_LEARN:
      Learn();
      return true;
    case ID_STORE_DELETE_BUTTON:
    case ID_STORE_DELETE_REMOTE:
      DeleteSelected();
      return true;
    case ID_STORE_RENAME_BUTTON:
    case ID_STORE_RENAME_REMOTE:
      if (HTREEITEM item = Selected()) TreeView_EditLabel(Tree(), item);
      return true;
    case ID_STORE_NEW_REMOTE:
      NewRemote();
      return true;
    default:
      return false;
  }
}

void CCommandTree::NewRemote() {
  const std::string name = m_ui.store->newRemoteName();
  m_ui.store->addRemote(name);
  HTREEITEM item = Insert(TVI_ROOT, name, TVI_LAST);
  TreeView_EnsureVisible(Tree(), item);
  TreeView_SelectItem(Tree(), item);
  SetFocus(Tree());
  TreeView_EditLabel(Tree(), item);
  notifyStoreChanged(m_ui);
}

void CCommandTree::DeleteSelected() {
  HTREEITEM item = Selected();
  if (!item) return;
  const std::string name = Text(item);
  if (HTREEITEM parent = Parent(item)) {
    m_ui.store->removeCommand(Text(parent), name);
  } else {
    if (TreeView_GetChild(Tree(), item) &&
        Ask("Delete all commands of " + name + " ?", MB_YESNO | MB_ICONQUESTION) != IDYES)
      return;
    m_ui.store->removeRemote(name);
  }
  TreeView_DeleteItem(Tree(), item);
  ShowSelection();
  notifyStoreChanged(m_ui);
}

bool CCommandTree::EndLabelEdit(NMTVDISPINFOA& info) {
  if (!info.item.pszText || !*info.item.pszText) return false;
  const std::string from = Text(info.item.hItem);
  const std::string to = info.item.pszText;
  if (to == from) return false;
  HTREEITEM parent = Parent(info.item.hItem);
  const bool renamed = parent ? m_ui.store->renameCommand(Text(parent), from, to)
                              : m_ui.store->renameRemote(from, to);
  if (!renamed) {
    // The box takes the focus from the edit, which ends the edit once more: answer that one quietly.
    if (m_refusing) return false;
    m_refusing = true;
    Ask("This name already exists.\nPlease choose another", MB_OK | MB_ICONWARNING);
    m_refusing = false;
    PostMessageA(Tree(), TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(info.item.hItem));
    return false;
  }
  notifyStoreChanged(m_ui);
  return true;
}

void CCommandTree::Learn() {
  if (m_ui.mayLearn && !m_ui.mayLearn(m_dialog)) return;
  HTREEITEM item = Selected();
  HTREEITEM parent = item ? Parent(item) : nullptr;
  std::string remote = item ? Text(parent ? parent : item) : std::string();
  CLearnDialog learn(
      m_ui, remote, [this](const std::string& r, const std::string& c) { Added(r, c); },
      [this](const std::string& r, const std::string& c) { Removed(r, c); });
  if (m_ui.setLearning) m_ui.setLearning(true);
  learn.DoModal(m_dialog, kit::thisModule(), IDD_STORE_LEARN);
  if (m_ui.setLearning) m_ui.setLearning(false);
}

void CCommandTree::Added(const std::string& remote, const std::string& command) {
  HTREEITEM top = FindTop(remote);
  if (!top) {
    top = Insert(TVI_ROOT, remote, TVI_SORT);
  }
  if (HTREEITEM old = FindChild(top, command)) TreeView_DeleteItem(Tree(), old);
  HTREEITEM item = Insert(top, command, TVI_LAST);
  TreeView_SelectItem(Tree(), item);
  ShowSelection();
}

void CCommandTree::Removed(const std::string& remote, const std::string& command) {
  if (HTREEITEM top = FindTop(remote))
    if (HTREEITEM item = FindChild(top, command)) TreeView_DeleteItem(Tree(), item);
}

bool CCommandTree::OnNotify(NMHDR& header, LRESULT& result) {
  if (header.idFrom != static_cast<UINT_PTR>(m_fields.tree)) return false;
  switch (header.code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
      ShowSelection();
      return true;
    case NM_RCLICK:
      ShowMenu();
      result = 1;
      return true;
    case TVN_KEYDOWN: {
      const WORD key = reinterpret_cast<NMTVKEYDOWN&>(header).wVKey;
      if (key == VK_DELETE) DeleteSelected();
      if (key == VK_F2)
        if (HTREEITEM item = Selected()) TreeView_EditLabel(Tree(), item);
      return true;
    }
    case TVN_ENDLABELEDITA:
      result = EndLabelEdit(reinterpret_cast<NMTVDISPINFOA&>(header)) ? TRUE : FALSE;
      return true;
    case TVN_ENDLABELEDITW: {
      // A Unicode tree: the same decision on the system code page text.
      auto& wide = reinterpret_cast<NMTVDISPINFOW&>(header);
      char text[kMaxName + 1] = {};
      if (wide.item.pszText)
        WideCharToMultiByte(CP_ACP, 0, wide.item.pszText, -1, text, sizeof text - 1, nullptr, nullptr);
      NMTVDISPINFOA ansi{};
      ansi.item.hItem = wide.item.hItem;
      ansi.item.pszText = wide.item.pszText ? text : nullptr;
      result = EndLabelEdit(ansi) ? TRUE : FALSE;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace vexa::store
