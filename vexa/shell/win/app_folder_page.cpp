#include "vexa/shell/win/app_folder_page.h"

#include <commctrl.h>
#include <commdlg.h>

#include "vexa/model/cmd_tree.h"
#include "vexa/shell/win/tree_icons.h"
#include "vexa/winlib/controls.h"
#include "vexa/winlib/unicode.h"
#include "vexa/shell/win/window_titles.h"

namespace vexa::shell {

namespace {

constexpr const wchar_t* kPageClass = L"VexaAppFolderPage";

std::wstring controlText(HWND control) { return win::WindowText(control); }

// "a|b|" filter text to the zero-separated form of the file dialog.
std::wstring dialogFilter(std::wstring filter) {
  for (wchar_t& c : filter)
    if (c == L'|') c = L'\0';
  return filter;
}

std::string remoteOf(const CCmdItem& item) {
  const CCmdItem* r = &item;
  while (r->parent()) r = r->parent();
  return r->label();
}

}  // namespace

CAppFolderPage::CAppFolderPage(CCmdTree& tree, AppFolderPageHooks hooks) : m_tree(tree), m_hooks(std::move(hooks)) {}

UINT CAppFolderPage::FlagOf(ControlId box) {
  switch (box) {
    case kForeground: return APPFOLDER::kMustBeForeground;
    case kDisableServer: return APPFOLDER::kDisableServer;
    case kSwitchLayouts: return APPFOLDER::kSwitchLayoutsTogether;
    case kRememberLayout: return APPFOLDER::kRememberLayout;
    default: return 0;
  }
}

HWND CAppFolderPage::Add(const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int y, int cx, int cy) {
  return win::CreateChildControl(Handle(), cls, text, WS_VISIBLE | style, static_cast<UINT>(id), {x, y, cx, cy});
}

bool CAppFolderPage::Create(HWND parent, const RECT& area) {
  if (!CWindow::Create(kPageClass, L"", WS_CHILD | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT,
                       {area.left, area.top, area.right - area.left, area.bottom - area.top}, parent))
    return false;
  Add(L"BUTTON", L"No Selection", BS_GROUPBOX, kFrame, 4, 0, 380, 330);
  Add(L"STATIC", L"", SS_ICON, kIcon, 16, 22, 32, 32);
  Add(L"STATIC", L"File Name", 0, kFileLabel, 16, 62, 200, 16);
  Add(WC_EDITW, L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, kFileName, 16, 80, 310, 22);
  Add(L"BUTTON", L"...", WS_TABSTOP, kBrowse, 332, 80, 32, 22);
  Add(L"STATIC", L"Execute command", 0, kCommandLabel, 16, 112, 200, 16);
  Add(WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, kCommand, 16, 130, 200, 200);
  Add(L"BUTTON", L"Advanced", WS_TABSTOP, kAdvanced, 224, 129, 80, 24);
  Add(L"BUTTON", L"Application must be the foreground window", WS_TABSTOP | BS_AUTOCHECKBOX, kForeground, 16, 166,
      340, 20);
  Add(L"STATIC", L"Window Name", 0, kWindowLabel, 36, 190, 200, 16);
  Add(WC_EDITW, L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, kWindowName, 36, 208, 290, 22);
  Add(L"BUTTON", L"...", WS_TABSTOP, kWindowBrowse, 332, 208, 32, 22);
  Add(L"BUTTON", L"Disable server for application commands", WS_TABSTOP | BS_AUTOCHECKBOX, kDisableServer, 16, 240,
      340, 20);
  Add(L"BUTTON", L"Switch all command layouts simultaneously", WS_TABSTOP | BS_AUTOCHECKBOX, kSwitchLayouts, 16,
      264, 340, 20);
  Add(L"BUTTON", L"Remember last active layout", WS_TABSTOP | BS_AUTOCHECKBOX, kRememberLayout, 16, 288, 340, 20);
  ShowFolder(nullptr);
  return true;
}

int CAppFolderPage::Ask(const std::wstring& text, UINT type) const {
  win::IPrompt& prompt = m_hooks.prompt ? *m_hooks.prompt : win::MessageBoxes();
  return prompt.Ask(Handle(), text, kMainWindowTitle, type);
}

void CAppFolderPage::ShowFolder(CCmdItem* folder) {
  m_folder = folder && folder->kind() == ItemKind::Folder ? folder : nullptr;
  m_loading = true;
  const APPFOLDER* f = m_folder ? m_folder->folder() : nullptr;
  SetDlgItemTextW(Handle(), kFrame, f ? (L" Application: " + win::toWide(f->name) + L" ").c_str() : L"No Selection");
  SetDlgItemTextW(Handle(), kFileName, f ? win::toWide(f->fileName()).c_str() : L"");
  SetDlgItemTextW(Handle(), kCommand, f ? win::toWide(f->commandName()).c_str() : L"");
  SetDlgItemTextW(Handle(), kWindowName, f ? win::toWide(f->windowName).c_str() : L"");
  for (ControlId box : {kForeground, kDisableServer, kSwitchLayouts, kRememberLayout})
    CheckDlgButton(Handle(), box, f && (f->flags & FlagOf(box)) ? BST_CHECKED : BST_UNCHECKED);
  for (int id = kFileName; id <= kWindowBrowse; ++id) EnableWindow(Control(static_cast<ControlId>(id)), f != nullptr);
  EnableWindowName();
  UpdateIcon();
  m_loading = false;
}

void CAppFolderPage::EnableWindowName() {
  const bool on = m_folder && (m_folder->folder()->flags & APPFOLDER::kMustBeForeground);
  EnableWindow(Control(kWindowName), on);
  EnableWindow(Control(kWindowLabel), on);
  EnableWindow(Control(kWindowBrowse), on);
}

void CAppFolderPage::UpdateIcon() {
  const HICON icon = m_folder ? CTreeIcons::ApplicationIcon(m_folder->folder()->fileName()) : nullptr;
  SendDlgItemMessageW(Handle(), kIcon, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  if (m_icon) DestroyIcon(m_icon);
  m_icon = icon;
}

void CAppFolderPage::OnCheck(ControlId box) {
  if (!m_folder) return;
  APPFOLDER& f = *m_folder->folder();
  const bool on = IsDlgButtonChecked(Handle(), box) == BST_CHECKED;
  if (box == kSwitchLayouts && on) {
    // The flag is set whatever the answer; OK also pads the layouts.
    m_tree.switchLayoutsTogether(*m_folder, Ask(kSwitchLayoutsQuestion, MB_OKCANCEL | MB_ICONQUESTION) == IDOK);
    return;
  }
  f.flags = on ? (f.flags | FlagOf(box)) : (f.flags & ~FlagOf(box));
  if (box == kForeground) EnableWindowName();
  m_tree.markModified();
}

void CAppFolderPage::OnFileChanged() {
  m_folder->folder()->setFileName(win::toUtf8(controlText(Control(kFileName))));
  m_tree.markModified();
  UpdateIcon();
  if (m_hooks.iconChanged) m_hooks.iconChanged(*m_folder);
}

void CAppFolderPage::Browse() {
  wchar_t file[MAX_PATH] = {};
  lstrcpynW(file, controlText(Control(kFileName)).c_str(), MAX_PATH);
  const std::wstring filter = dialogFilter(kExecutableFilter);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = Handle();
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  if (GetOpenFileNameW(&ofn)) SetDlgItemTextW(Handle(), kFileName, file);  // EN_CHANGE does the rest
}

void CAppFolderPage::FillCommands() {
  const HWND combo = Control(kCommand);
  const std::wstring typed = controlText(combo);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  if (m_folder && m_hooks.commandNames)
    for (const std::string& name : m_hooks.commandNames(remoteOf(*m_folder)))
      SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win::toWide(name).c_str()));
  SetWindowTextW(combo, typed.c_str());
}

void CAppFolderPage::OnCommand(int id, int code) {
  if (m_loading) return;
  switch (id) {
    case kForeground:
    case kDisableServer:
    case kSwitchLayouts:
    case kRememberLayout:
      if (code == BN_CLICKED) OnCheck(static_cast<ControlId>(id));
      return;
    case kBrowse:
      if (code == BN_CLICKED && m_folder) Browse();
      return;
    case kAdvanced:
      if (code == BN_CLICKED && m_folder && m_hooks.advanced) m_hooks.advanced(*m_folder);
      return;
    case kWindowBrowse:
      if (code == BN_CLICKED && m_folder && m_hooks.pickWindow)
        if (const auto title = m_hooks.pickWindow()) SetDlgItemTextW(Handle(), kWindowName, win::toWide(*title).c_str());
      return;
    case kFileName:
      if (code == EN_CHANGE && m_folder) OnFileChanged();
      return;
    case kWindowName:
      if (code == EN_CHANGE && m_folder) {
        m_folder->folder()->windowName = win::toUtf8(controlText(Control(kWindowName)));
        m_tree.markModified();
      }
      return;
    case kCommand:
      if (code == CBN_DROPDOWN) FillCommands();
      if (!m_folder) return;
      if (code == CBN_EDITCHANGE || code == CBN_SELCHANGE) {
        const HWND combo = Control(kCommand);
        std::wstring name = controlText(combo);
        if (code == CBN_SELCHANGE) {
          const LRESULT at = SendMessageW(combo, CB_GETCURSEL, 0, 0);
          wchar_t chosen[256] = {};
          if (at >= 0 && SendMessageW(combo, CB_GETLBTEXTLEN, at, 0) < 256)
            SendMessageW(combo, CB_GETLBTEXT, at, reinterpret_cast<LPARAM>(chosen));
          name = chosen;
        }
        m_folder->folder()->setCommandName(win::toUtf8(name));
        m_tree.markModified();
      }
      return;
  }
}

LRESULT CAppFolderPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp));
      return 0;
    case WM_CTLCOLORSTATIC:
      SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    case WM_DESTROY:
      if (m_icon) DestroyIcon(m_icon);
      m_icon = nullptr;
      break;
  }
  return CWindow::OnMessage(msg, wp, lp);
}

}  // namespace vexa::shell
