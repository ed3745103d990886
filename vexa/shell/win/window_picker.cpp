#include "vexa/shell/win/window_picker.h"

#include "vexa/base/program_messages.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/exec/actions/window_pattern.h"
#include "vexa/shell/res/editor_resource.h"
#include "vexa/winlib/tree_view.h"
#include "vexa/winlib/unicode.h"

namespace vexa::shell {

namespace {

constexpr unsigned kTakeKey = 0x71;  // F2
// F2 comes inside the hook module's call; the question it may raise waits
// for the message loop, so that keys never wait on a person.
constexpr UINT_PTR kTakeTimer = 1;
constexpr UINT_PTR kMarkTimer = 2;
constexpr UINT kMarkFlipMs = 150;
constexpr int kMarkFlips = 6;  // even: the screen ends as it was
constexpr int kMarkFrame = 3;

// An inverted frame on the screen; drawn twice it is gone.
void invertFrame(const RECT& r) {
  const HDC screen = GetDC(nullptr);
  if (!screen) return;
  const int w = r.right - r.left, h = r.bottom - r.top;
  PatBlt(screen, r.left, r.top, w, kMarkFrame, DSTINVERT);
  PatBlt(screen, r.left, r.bottom - kMarkFrame, w, kMarkFrame, DSTINVERT);
  PatBlt(screen, r.left, r.top + kMarkFrame, kMarkFrame, h - 2 * kMarkFrame, DSTINVERT);
  PatBlt(screen, r.right - kMarkFrame, r.top + kMarkFrame, kMarkFrame, h - 2 * kMarkFrame, DSTINVERT);
  ReleaseDC(nullptr, screen);
}

HTREEITEM itemOf(HWND tree, HTREEITEM from, HWND window) {
  for (HTREEITEM item = from; item; item = TreeView_GetNextSibling(tree, item)) {
    TVITEMW tv{};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    if (TreeView_GetItem(tree, &tv) && reinterpret_cast<HWND>(tv.lParam) == window) return item;
    if (const HTREEITEM below = itemOf(tree, TreeView_GetChild(tree, item), window)) return below;
  }
  return nullptr;
}

}  // namespace

std::optional<std::string> CWindowPicker::Run(HWND owner) {
  if (DoModal(owner, GetModuleHandleW(nullptr), IDD_WINDOW_PICKER) != IDOK) return std::nullopt;
  return m_chosen;
}

int CWindowPicker::Ask(const std::wstring& text, UINT type) const {
  return m_ask ? m_ask(text, type) : MessageBoxW(m_hwnd, text.c_str(), L"Vexa", type);
}

bool CWindowPicker::OnInitDialog() {
  CheckButton(IDC_WP_VISIBLE, true);
  Refresh();
  return true;
}

void CWindowPicker::Refresh() {
  const HWND selected = SelectedWindow();
  m_windows.refresh(IsButtonChecked(IDC_WP_VISIBLE), true);
  FillTree();
  if (selected) SelectWindow(selected);
}

void CWindowPicker::FillTree() {
  const HWND tree = Item(IDC_WP_TREE);
  SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
  TreeView_DeleteAllItems(tree);
  AddItems(TVI_ROOT, m_windows.windows(), IsButtonChecked(IDC_WP_CLASS_ONLY));
  SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tree, nullptr, TRUE);
}

void CWindowPicker::AddItems(HTREEITEM parent, const std::vector<WindowEntry>& windows, bool classOnly) {
  const HWND tree = Item(IDC_WP_TREE);
  for (const WindowEntry& window : windows) {
    const std::wstring label = win::toWide(windowPickerLabel(window, classOnly));
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(label.c_str());
    insert.item.lParam = static_cast<LPARAM>(window.handle);
    const HTREEITEM item = TreeView_InsertItem(tree, &insert);
    if (item) AddItems(item, window.children, classOnly);
  }
}

HWND CWindowPicker::SelectedWindow() const {
  const HWND tree = Item(IDC_WP_TREE);
  TVITEMW tv{};
  tv.mask = TVIF_PARAM;
  tv.hItem = TreeView_GetSelection(tree);
  if (!tv.hItem || !TreeView_GetItem(tree, &tv)) return nullptr;
  return reinterpret_cast<HWND>(tv.lParam);
}

bool CWindowPicker::SelectWindow(HWND window) {
  const HWND tree = Item(IDC_WP_TREE);
  const HTREEITEM item = itemOf(tree, TreeView_GetRoot(tree), window);
  if (!item) return false;
  TreeView_SelectItem(tree, item);
  TreeView_EnsureVisible(tree, item);
  return true;
}

void CWindowPicker::TakeWindowUnderCursor() {
  const HWND under = WindowFromPoint(m_takeAt);
  if (!under || SelectWindow(under)) return;
  if (Ask(kMsgPickerWindowNotFound, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  Refresh();
  SelectWindow(under);
}

void CWindowPicker::Mark() {
  StopMarking();
  const HWND window = SelectedWindow();
  if (!window || !IsWindow(window) || !GetWindowRect(window, &m_markRect)) return;
  invertFrame(m_markRect);
  m_markFlips = 1;
  SetTimer(m_hwnd, kMarkTimer, kMarkFlipMs, nullptr);
}

void CWindowPicker::StopMarking() {
  KillTimer(m_hwnd, kMarkTimer);
  if (m_markFlips % 2) invertFrame(m_markRect);
  m_markFlips = 0;
}

bool CWindowPicker::OnTimer(UINT_PTR id) {
  if (id == kTakeTimer) {
    KillTimer(m_hwnd, kTakeTimer);
    TakeWindowUnderCursor();
    return true;
  }
  if (id == kMarkTimer) {
    invertFrame(m_markRect);
    if (++m_markFlips >= kMarkFlips) StopMarking();
    return true;
  }
  return false;
}

bool CWindowPicker::OnCommand(int id, int notification, HWND control) {
  if (notification == BN_CLICKED) {
    switch (id) {
      case IDC_WP_REFRESH:
      case IDC_WP_VISIBLE: Refresh(); return true;
      case IDC_WP_CLASS_ONLY: {
        const HWND selected = SelectedWindow();
        FillTree();
        if (selected) SelectWindow(selected);
        return true;
      }
      case IDC_WP_MARK: Mark(); return true;
    }
  }
  return CModalDialog::OnCommand(id, notification, control);
}

bool CWindowPicker::OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
  if (msg == WM_DESTROY) StopMarking();
  if (msg != abi::kVexaMessage || wp != ProgramMessage::kHotKeyEvent)
    return CModalDialog::OnMessage(msg, wp, lp, result);
  const bool take = (static_cast<uint32_t>(lp) & 0xFF) == kTakeKey;
  if (take) {
    GetCursorPos(&m_takeAt);
    SetTimer(m_hwnd, kTakeTimer, USER_TIMER_MINIMUM, nullptr);
  }
  SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, take ? 1 : 0);
  result = TRUE;
  return true;
}

void CWindowPicker::OnOK() {
  const HWND tree = Item(IDC_WP_TREE);
  HTREEITEM item = TreeView_GetSelection(tree);
  if (!item) {
    End(IDCANCEL);
    return;
  }
  // The path from the top level down, as the actions read a child's name.
  std::vector<std::string> labels;
  for (; item; item = TreeView_GetParent(tree, item))
    labels.insert(labels.begin(), win::toUtf8(win::treeItemText(tree, item)));
  m_chosen = windowPathName(labels);
  StopMarking();
  End(IDOK);
}

void CWindowPicker::OnCancel() {
  StopMarking();
  End(IDCANCEL);
}

}  // namespace vexa::shell
