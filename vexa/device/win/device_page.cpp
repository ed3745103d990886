#include "vexa/device/win/device_page.h"

#include <windowsx.h>
#include <commdlg.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "vexa/base/program_messages.h"
#include "vexa/device/code_store.h"
#include "vexa/base/errors.h"
#include "vexa/base/file_io.h"
#include "vexa/device/learn_result.h"
#include "vexa/device/lircd_import.h"
#include "vexa/device/win/device.h"
#include "vexa/winlib/menu.h"
#include "vexa/winlib/serial_port.h"
#include "vexa/winlib/tree_view.h"
#include "vexa/winlib/unicode.h"
#include "vexa/winlib/controls.h"

namespace vexa::device {

namespace {


HWND makeControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, UINT id, DWORD ex = 0) {
  return win::CreateChildControl(parent, cls, text, style, id, {}, ex);
}

}  // namespace

bool CDevicePage::Create(HWND parent, POINT position) {
  RECT client{};
  GetClientRect(parent, &client);
  win::WindowPlacement at{position.x, position.y, std::max<int>(client.right - position.x, 420),
                          std::max<int>(client.bottom - position.y, 300)};
  if (!CWindow::Create(kDevicePageClass, win::toWide(abi::kConfigWindowTitle), WS_CHILD | WS_CLIPCHILDREN,
                       WS_EX_CONTROLPARENT, at, parent)) {
    return false;
  }
  m_font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  CreateControls();
  FillSelectors();
  RefreshTree();
  LayOut();
  return true;
}

void CDevicePage::CreateControls() {
  const HWND self = Handle();
  makeControl(self, L"BUTTON", L"Hardware Setup", WS_VISIBLE | BS_GROUPBOX, kHardwareGroup);
  makeControl(self, L"STATIC", L"", 0, kCaption1);
  makeControl(self, WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, kList1);
  makeControl(self, L"STATIC", L"", 0, kCaption2);
  makeControl(self, WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, kList2);
  makeControl(self, L"BUTTON", L"Setup", WS_TABSTOP | BS_PUSHBUTTON, kSetupButton);
  makeControl(self, L"BUTTON", L"Initialize", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kInitializeButton);
  makeControl(self, L"BUTTON", L"Commands", WS_VISIBLE | BS_GROUPBOX, kCommandsGroup);
  makeControl(self, WC_TREEVIEWW, L"",
              WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS |
                  TVS_EDITLABELS,
              kTree, WS_EX_CLIENTEDGE);
  makeControl(self, L"STATIC", L"Remote", WS_VISIBLE, kRemoteLabel);
  makeControl(self, L"EDIT", L"", WS_VISIBLE | ES_READONLY | ES_AUTOHSCROLL, kRemoteBox, WS_EX_CLIENTEDGE);
  makeControl(self, L"STATIC", L"Command", WS_VISIBLE, kCommandLabel);
  makeControl(self, L"EDIT", L"", WS_VISIBLE | ES_READONLY | ES_AUTOHSCROLL, kCommandBox, WS_EX_CLIENTEDGE);
  makeControl(self, L"STATIC", L"Signature", WS_VISIBLE, kSignatureLabel);
  makeControl(self, L"EDIT", L"", WS_VISIBLE | ES_READONLY | ES_MULTILINE | ES_AUTOVSCROLL, kSignatureBox,
              WS_EX_CLIENTEDGE);
  makeControl(self, L"STATIC", L"Tolerance (%)", WS_VISIBLE, kToleranceLabel);
  makeControl(self, L"EDIT", L"0", WS_VISIBLE | WS_TABSTOP | ES_NUMBER, kToleranceEdit, WS_EX_CLIENTEDGE);
  const HWND spin = makeControl(self, UPDOWN_CLASSW, L"",
                                WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS, kToleranceSpin);
  SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Control(kToleranceEdit)), 0);
  SendMessageW(spin, UDM_SETRANGE32, 0, 50);
  SendMessageW(spin, UDM_SETPOS32, 0, 0);
  makeControl(self, L"STATIC", L"Right click to add remote controls or learn remote control buttons", WS_VISIBLE,
              kHint);
  makeControl(self, L"BUTTON", L"Import lircd.conf...", WS_TABSTOP | BS_PUSHBUTTON, kImportButton);
  for (HWND child = GetWindow(self, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
}

void CDevicePage::FillSelectors() {
  const PluginEntry* entry = m_device.Current();
  if (!entry) return;
  m_filling = true;
  const SelectorVisibility show = selectorVisibility(entry->capabilities);
  ShowWindow(Control(kCaption1), show.caption1 ? SW_SHOW : SW_HIDE);
  ShowWindow(Control(kList1), show.list1 ? SW_SHOW : SW_HIDE);
  ShowWindow(Control(kCaption2), show.selector2 ? SW_SHOW : SW_HIDE);
  ShowWindow(Control(kList2), show.selector2 ? SW_SHOW : SW_HIDE);
  ShowWindow(Control(kSetupButton), show.setupButton ? SW_SHOW : SW_HIDE);

  std::string caption;
  if (entry->selectorKind == abi::kSerialPorts || entry->selectorKind == abi::kParallelPorts) {
    SetWindowTextW(Control(kCaption1), win::toWide(hostSelectorCaption(entry->selectorKind)).c_str());
    FillPorts(Control(kList1), entry->selectorKind);
  } else if (m_device.FillSelector(Control(kList1), abi::kFillSelector1, caption)) {
    SetWindowTextW(Control(kCaption1), win::toWide(caption).c_str());
  }
  if (show.selector2 && m_device.FillSelector(Control(kList2), abi::kFillSelector2, caption))
    SetWindowTextW(Control(kCaption2), win::toWide(caption).c_str());
  SelectSaved(Control(kList1), 1);
  SelectSaved(Control(kList2), 2);
  PublishSelectors();
  m_filling = false;
}

void CDevicePage::PublishSelectors() {
  for (int which : {1, 2}) m_device.SetSelectorChoice(which, SelectorCaption(which), SelectorText(which));
}

void CDevicePage::FillPorts(HWND list, uint32_t kind) {
  for (const std::wstring& name : win::ListPorts(win::toWide(portPrefix(kind)), kPortsProbed))
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

void CDevicePage::SelectSaved(HWND list, int which) {
  if (SendMessageW(list, CB_GETCOUNT, 0, 0) <= 0) return;
  const std::string saved = m_device.SavedSelectorChoice(which, SelectorCaption(which));
  LRESULT index = CB_ERR;
  if (!saved.empty())
    index = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(win::toWide(saved).c_str()));
  SendMessageW(list, CB_SETCURSEL, index == CB_ERR ? 0 : index, 0);
}

std::string CDevicePage::SelectorText(int which) const {
  return win::toUtf8(win::WindowText(Control(which == 2 ? kList2 : kList1)));
}

std::string CDevicePage::SelectorCaption(int which) const {
  return win::toUtf8(win::WindowText(Control(which == 2 ? kCaption2 : kCaption1)));
}

void CDevicePage::LayOut() {
  RECT rc{};
  GetClientRect(Handle(), &rc);
  const int w = std::max<int>(rc.right, 420);
  const int h = std::max<int>(rc.bottom, 300);
  auto place = [&](ControlId id, int x, int y, int cx, int cy) { MoveWindow(Control(id), x, y, cx, cy, FALSE); };
  place(kHardwareGroup, 8, 4, w - 16, 84);
  place(kCaption1, 20, 24, 110, 18);
  place(kList1, 20, 44, 150, 200);
  place(kCaption2, 180, 24, 110, 18);
  place(kList2, 180, 44, 150, 200);
  place(kSetupButton, w - 190, 42, 80, 26);
  place(kInitializeButton, w - 100, 42, 80, 26);
  place(kCommandsGroup, 8, 94, w - 16, h - 100);
  const int treeWidth = std::max(160, (w - 40) / 2);
  place(kTree, 20, 114, treeWidth, h - 150);
  const int x = 30 + treeWidth, boxWidth = w - x - 20;
  place(kRemoteLabel, x, 114, boxWidth, 18);
  place(kRemoteBox, x, 132, boxWidth, 22);
  place(kCommandLabel, x, 160, boxWidth, 18);
  place(kCommandBox, x, 178, boxWidth, 22);
  place(kSignatureLabel, x, 206, boxWidth, 18);
  place(kSignatureBox, x, 224, boxWidth, 76);  // up to five lines of properties
  place(kToleranceLabel, x, 306, boxWidth, 18);
  place(kToleranceEdit, x, 324, 60, 22);
  SendMessageW(Control(kToleranceSpin), UDM_SETBUDDY, reinterpret_cast<WPARAM>(Control(kToleranceEdit)), 0);
  place(kHint, 20, h - 32, w - 180, 18);
  place(kImportButton, w - 150, h - 36, 130, 26);
  InvalidateRect(Handle(), nullptr, TRUE);
}

// ---- Tree --------------------------------------------------------------------------------

void CDevicePage::RefreshTree() {
  const HWND tree = Control(kTree);
  SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
  TreeView_DeleteAllItems(tree);
  for (const auto& [remoteName, remote] : m_device.CodeStore().remotes()) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    std::wstring text = win::toWide(remoteName);
    insert.item.pszText = text.data();
    const HTREEITEM parent = TreeView_InsertItem(tree, &insert);
    for (const auto& [commandName, code] : remote.commands) {
      std::wstring child = win::toWide(commandName);
      insert.hParent = parent;
      insert.item.pszText = child.data();
      TreeView_InsertItem(tree, &insert);
    }
    TreeView_Expand(tree, parent, TVE_EXPAND);
  }
  SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tree, nullptr, TRUE);
  ShowSelection();
}

std::string CDevicePage::ItemName(HTREEITEM item) const {
  return win::toUtf8(win::treeItemText(Control(kTree), item));
}

HTREEITEM CDevicePage::ParentOf(HTREEITEM item) const {
  return item ? TreeView_GetParent(Control(kTree), item) : nullptr;
}

void CDevicePage::ShowSelection() {
  const HTREEITEM item = TreeView_GetSelection(Control(kTree));
  const HTREEITEM parent = ParentOf(item);
  const std::string remote = ItemName(parent ? parent : item);
  const std::string command = parent ? ItemName(item) : std::string();
  SetWindowTextW(Control(kRemoteBox), win::toWide(remote).c_str());
  SetWindowTextW(Control(kCommandBox), win::toWide(command).c_str());
  PropertiesText shown{"Signature", ""};
  if (const DeviceCode* code = m_device.CodeStore().findCode(remote, command)) shown = propertiesOf(*code);
  SetWindowTextW(Control(kSignatureLabel), win::toWide(shown.caption).c_str());
  SetWindowTextW(Control(kSignatureBox), win::toWide(shown.text).c_str());
  // Remotes described for lircd are timing codes: only a timing receiver can use them.
  ShowWindow(Control(kImportButton), m_device.TimingMode() == 1 ? SW_SHOW : SW_HIDE);
  m_filling = true;
  const DeviceRemote* r = m_device.CodeStore().findRemote(remote);
  SendMessageW(Control(kToleranceSpin), UDM_SETPOS32, 0, r ? r->tolerance : 0);
  EnableWindow(Control(kToleranceEdit), r != nullptr);
  m_filling = false;
}

HTREEITEM CDevicePage::NewRemote() {
  const std::string name = m_device.CodeStore().addNewRemote();
  const HWND tree = Control(kTree);
  TVINSERTSTRUCTW insert{};
  insert.hParent = TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT;
  std::wstring text = win::toWide(name);
  insert.item.pszText = text.data();
  const HTREEITEM item = TreeView_InsertItem(tree, &insert);
  TreeView_SelectItem(tree, item);
  MarkChanged();
  if (IsWindowVisible(tree)) {
    SetFocus(tree);
    TreeView_EditLabel(tree, item);
  }
  return item;
}

bool CDevicePage::DeleteItem(HTREEITEM item) {
  if (!item) return false;
  const HTREEITEM parent = ParentOf(item);
  CCodeStore& store = m_device.CodeStore();
  if (parent) {
    store.deleteCommand(ItemName(parent), ItemName(item));
  } else {
    const std::string remote = ItemName(item);
    const DeviceRemote* r = store.findRemote(remote);
    if (r && !r->commands.empty() && !m_device.AskYesNo(win::toWide(CCodeStore::deleteRemoteQuestion(remote))))
      return false;
    store.deleteRemote(remote);
  }
  TreeView_DeleteItem(Control(kTree), item);
  MarkChanged();
  ShowSelection();
  return true;
}

bool CDevicePage::RenameItem(HTREEITEM item, const std::wstring& newName) {
  if (!item) return false;
  const HTREEITEM parent = ParentOf(item);
  const std::string to = win::toUtf8(newName);
  CCodeStore& store = m_device.CodeStore();
  const RenameResult result = parent ? store.renameCommand(ItemName(parent), ItemName(item), to)
                                     : store.renameRemote(ItemName(item), to);
  if (result == RenameResult::Unchanged) return false;
  if (result != RenameResult::Renamed) {
    m_device.ShowError(win::toWide(renameMessage(result, parent != nullptr)));
    return false;
  }
  TVITEMW tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  std::wstring text = newName;
  tv.pszText = text.data();
  TreeView_SetItem(Control(kTree), &tv);
  MarkChanged();
  ShowSelection();
  return true;
}

void CDevicePage::RunContextMenu(HTREEITEM item, POINT screen) {
  const bool onButton = item && ParentOf(item);
  win::CMenu menu;
  if (!menu.CreatePopup()) return;
  const UINT learnFlags = m_learn ? MF_STRING : MF_STRING | MF_GRAYED;
  if (onButton) {
    AppendMenuW(menu.Get(), learnFlags, kCmdLearnButton, L"Learn Remote Button");
    menu.AppendItem(kCmdDeleteButton, L"Delete Button");
    menu.AppendItem(kCmdRenameButton, L"Rename Button");
  } else {
    const UINT onRemote = item ? MF_STRING : MF_STRING | MF_GRAYED;
    menu.AppendItem(kCmdNewRemote, L"New Remote Control");
    AppendMenuW(menu.Get(), onRemote, kCmdDeleteRemote, L"Delete Remote");
    AppendMenuW(menu.Get(), onRemote, kCmdRenameRemote, L"Rename Remote");
    AppendMenuW(menu.Get(), item ? learnFlags : MF_STRING | MF_GRAYED, kCmdNewButton, L"New Remote Button");
  }
  const UINT chosen = m_trackMenu ? m_trackMenu(menu.Get(), screen) : menu.Track(Handle(), screen);
  if (chosen) RunMenuCommand(chosen, item);
}

void CDevicePage::RunMenuCommand(UINT command, HTREEITEM item) {
  const HWND tree = Control(kTree);
  switch (command) {
    case kCmdNewRemote:
      NewRemote();
      break;
    case kCmdDeleteRemote:
    case kCmdDeleteButton:
      DeleteItem(item);
      break;
    case kCmdRenameRemote:
    case kCmdRenameButton:
      if (item) {
        SetFocus(tree);
        TreeView_EditLabel(tree, item);
      }
      break;
    case kCmdLearnButton:
      if (m_learn && item) m_learn(ItemName(ParentOf(item)), ItemName(item));
      break;
    case kCmdNewButton:
      if (m_learn && item) m_learn(ItemName(item), std::string());
      break;
  }
}

void CDevicePage::MarkChanged() {
  // A page's own change: the plug-in's code 2 must not withdraw it.
  if (const HWND parent = GetParent(Handle())) SendMessageW(parent, ProgramMessage::kPageSettingsChanged, 0, 0);
}

// ---- Messages ------------------------------------------------------------------------------

LRESULT CDevicePage::OnVexaMessage(WPARAM code, LPARAM lp) {
  switch (code) {
    case abi::PageCode::kCommand: {
      if (!lp) return 0;
      const HWND main = GetParent(Handle());
      if (!main) {
        delete reinterpret_cast<abi::CommandRecord*>(lp);
        return 0;
      }
      return SendMessageW(main, abi::kVexaMessage, abi::MainCode::kCommand, lp);
    }
    // Reception is the host's; the page keeps the plug-ins' address for it.
    case abi::PageCode::kCodeBlock:
      return m_device.Reception().OnCodeBlock(reinterpret_cast<const abi::CodeBlock*>(lp));
    case abi::PageCode::kTimingSample:
      return m_device.Reception().OnTimingSample(static_cast<uint32_t>(lp));
    case abi::PageCode::kSelector1Caption:
      return reinterpret_cast<LRESULT>(Control(kCaption1));
    case abi::PageCode::kSelector1List:
      return reinterpret_cast<LRESULT>(Control(kList1));
    case abi::PageCode::kSelector2Caption:
      return reinterpret_cast<LRESULT>(Control(kCaption2));
    case abi::PageCode::kSelector2List:
      return reinterpret_cast<LRESULT>(Control(kList2));
    case abi::PageCode::kSetupButton:
      return reinterpret_cast<LRESULT>(Control(kSetupButton));
    case abi::PageCode::kInitializeButton:
      return reinterpret_cast<LRESULT>(Control(kInitializeButton));
    case abi::PageCode::kCodeTree:
      return reinterpret_cast<LRESULT>(Control(kTree));
    case abi::PageCode::kLayout:
      LayOut();
      return 1;
    default:
      return 0;
  }
}

void CDevicePage::ChooseLircdFile() {
  wchar_t file[MAX_PATH] = {};
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = Handle();
  ofn.lpstrFilter = L"Remote definitions (*.conf)\0*.conf\0All files (*.*)\0*.*\0\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrTitle = L"Import lircd.conf";
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  if (GetOpenFileNameW(&ofn)) ImportLircdFile(file);
}

bool CDevicePage::ImportLircdFile(const std::filesystem::path& file) {
  std::vector<ImportedRemote> imported;
  try {
    for (const LircdRemote& remote : parseLircdConfig(readFileBytes(file))) imported.push_back(importLircdRemote(remote));
    if (imported.empty()) VEXA_THROW(NotSupportedError, "the file describes no remote");
  } catch (const VexaError& e) {
    m_device.Prompt().Ask(Handle(), L"Could not import " + file.filename().wstring() + L":\n" + win::toWide(e.what()),
                          L"Vexa", MB_OK | MB_ICONERROR);
    return false;
  }
  for (const ImportedRemote& r : imported) {
    if (!m_device.CodeStore().findRemote(r.name)) continue;
    const std::wstring question = L"The remote \"" + win::toWide(r.name) +
                                  L"\" already exists.\nReplace it and all its buttons?";
    if (m_device.Prompt().Ask(Handle(), question, L"Vexa", MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
  }
  size_t buttons = 0;
  for (const ImportedRemote& r : imported) {
    addImportedRemote(m_device.CodeStore(), r);
    buttons += r.remote.commands.size();
  }
  RefreshTree();
  MarkChanged();
  m_device.Prompt().Ask(Handle(),
                        L"Imported " + std::to_wstring(buttons) + L" buttons of " + std::to_wstring(imported.size()) +
                            (imported.size() == 1 ? L" remote." : L" remotes."),
                        L"Vexa", MB_OK | MB_ICONINFORMATION);
  return true;
}

void CDevicePage::OnCommand(UINT id, UINT notification) {
  switch (id) {
    case kImportButton:
      if (notification == BN_CLICKED) ChooseLircdFile();
      break;
    case kList1:
    case kList2:
      if (notification == CBN_SELCHANGE && !m_filling) {
        PublishSelectors();
        m_device.RestartDevice();
        MarkChanged();
      }
      break;
    case kInitializeButton:
      if (notification == BN_CLICKED) {
        PublishSelectors();  // a plug-in may have chosen in the lists itself
        m_device.RestartDevice();
        MarkChanged();
      }
      break;
    case kSetupButton:
      if (notification == BN_CLICKED) {
        if (m_device.RunSetup(GetParent(Handle())).value_or(0) != 0) {
          PublishSelectors();  // the plug-in may have chosen in the lists itself
          MarkChanged();
          m_device.RestartDevice();
        }
      }
      break;
    case kToleranceEdit:
      if (notification == EN_CHANGE && !m_filling) {
        const HTREEITEM item = TreeView_GetSelection(Control(kTree));
        const HTREEITEM parent = ParentOf(item);
        const std::string remote = ItemName(parent ? parent : item);
        if (const DeviceRemote* r = m_device.CodeStore().findRemote(remote)) {
          BOOL ok = FALSE;
          const int value = static_cast<int>(GetDlgItemInt(Handle(), kToleranceEdit, &ok, FALSE));
          if (ok && value >= 0 && value <= 50 && value != r->tolerance) {
            m_device.CodeStore().setRemoteSettings(remote, value, r->mode);
            MarkChanged();
          }
        }
      }
      break;
  }
}

LRESULT CDevicePage::OnNotify(NMHDR* header) {
  if (header->idFrom != kTree) return 0;
  const HWND tree = header->hwndFrom;
  switch (header->code) {
    case TVN_SELCHANGEDW:
      ShowSelection();
      return 0;
    case TVN_BEGINLABELEDITW:
      return FALSE;
    case TVN_ENDLABELEDITW: {
      auto* info = reinterpret_cast<NMTVDISPINFOW*>(header);
      if (!info->item.pszText) return FALSE;  // cancelled
      RenameItem(info->item.hItem, info->item.pszText);
      return FALSE;  // RenameItem set the text itself when it succeeded
    }
    case TVN_KEYDOWN: {
      const auto* key = reinterpret_cast<NMTVKEYDOWN*>(header);
      const HTREEITEM item = TreeView_GetSelection(tree);
      if (key->wVKey == VK_DELETE) DeleteItem(item);
      if (key->wVKey == VK_F2 && item) TreeView_EditLabel(tree, item);
      return 0;
    }
  }
  return 0;
}

LRESULT CDevicePage::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case abi::kVexaMessage:
      return OnVexaMessage(wp, lp);
    case WM_SIZE:
      LayOut();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp));
      return 0;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(lp));
    case WM_CONTEXTMENU: {
      const HWND tree = Control(kTree);
      if (reinterpret_cast<HWND>(wp) != tree) break;
      POINT screen{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      HTREEITEM item = nullptr;
      if (screen.x == -1 && screen.y == -1) {  // from the keyboard
        item = TreeView_GetSelection(tree);
        RECT rc{};
        if (item && TreeView_GetItemRect(tree, item, &rc, TRUE)) screen = {rc.left, rc.bottom};
        ClientToScreen(tree, &screen);
      } else {
        TVHITTESTINFO hit{};
        hit.pt = screen;
        ScreenToClient(tree, &hit.pt);
        item = TreeView_HitTest(tree, &hit);
        if (!(hit.flags & TVHT_ONITEM)) item = nullptr;
        if (item) TreeView_SelectItem(tree, item);
      }
      RunContextMenu(item, screen);
      return 0;
    }
  }
  return CWindow::OnMessage(msg, wp, lp);
}

}  // namespace vexa::device
