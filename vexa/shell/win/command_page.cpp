#include "vexa/shell/win/command_page.h"

#include <shellapi.h>

#include <algorithm>

#include "vexa/base/strings.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/exec/win/actions/action_context.h"
#include "vexa/model/app_folder.h"
#include "vexa/model/catalogue.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/model/names.h"
#include "vexa/shell/res/editor_resource.h"
#include "vexa/shell/win/action_dialog.h"
#include "vexa/winlib/unicode.h"
#include "vexa/shell/win/window_titles.h"

namespace vexa::shell {

namespace {

struct Tool {
  int id;
  const wchar_t* text;
  const wchar_t* tip;
};
constexpr Tool kTools[] = {
    {IDC_ACTION_NEW, L"New", L"Add new action"},       {IDC_ACTION_EDIT, L"Edit", L"Edit action"},
    {IDC_ACTION_DELETE, L"Delete", L"Delete action"},  {IDC_ACTION_UP, L"Up", L"Move action up"},
    {IDC_ACTION_DOWN, L"Down", L"Move action down"},
};

// Catalogue group icons 0 to 11 as shell32 icons.
constexpr int kShellIcons[12] = {2, 15, 3, 44, 27, 22, 40, 12, 13, 14, 21, 23};

}  // namespace

CCommandPage::CCommandPage(CCmdTree& tree, CommandPageHooks hooks) : m_tree(tree), m_hooks(std::move(hooks)) {}

CCommandPage::~CCommandPage() {
  CancelCapture();
  m_hotKey.Detach();
  Destroy();
  if (m_images) ImageList_Destroy(m_images);
}

bool CCommandPage::Create(HWND parent) {
  return CModelessDialog::Create(parent, GetModuleHandleW(nullptr), IDD_COMMAND_PAGE);
}

int CCommandPage::Ask(const std::wstring& text, const std::wstring& title, UINT type) const {
  win::IPrompt& prompt = m_hooks.prompt ? *m_hooks.prompt : win::MessageBoxes();
  return prompt.Ask(m_hwnd, text, title, type);
}

bool CCommandPage::OnInitDialog() {
  const HWND list = Item(IDC_CE_ACTIONS);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  const wchar_t* columns[] = {L"Action", L"Type"};
  for (int i = 0; i < 2; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(columns[i]);
    column.cx = i == 0 ? 180 : 170;
    ListView_InsertColumn(list, i, &column);
  }
  m_images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 12, 0);
  for (int icon : kShellIcons) {
    HICON small = nullptr;
    ExtractIconExW(L"shell32.dll", icon, nullptr, &small, 1);
    if (!small) small = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    ImageList_AddIcon(m_images, small);
    DestroyIcon(small);
  }
  ListView_SetImageList(list, m_images, LVSIL_SMALL);

  const HWND toolbar = Item(IDC_CE_TOOLBAR);
  SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  for (const Tool& tool : kTools) {
    TBBUTTON button{};
    button.iBitmap = I_IMAGENONE;
    button.idCommand = tool.id;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    button.iString = reinterpret_cast<INT_PTR>(tool.text);
    SendMessageW(toolbar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
  }
  m_hotKey.Attach(Item(IDC_CE_HOTKEY), m_hooks.mainWindow);
  ShowCommand(nullptr, nullptr, nullptr);
  return true;
}

void CCommandPage::ShowCommand(CCmdArray* command, CCmdItem* item, const APPFOLDER* folder) {
  CancelCapture();
  if (!command) {
    m_editor.reset();
  } else if (!m_editor || &m_editor->command() != &command->first()) {
    m_editor = std::make_unique<CCommandEditor>(*command, [this] { Changed(); });
  }
  m_item = command ? item : nullptr;
  m_folder = command ? folder : nullptr;
  if (!m_hwnd) return;
  m_loading = true;
  // A folder's application command is known by its button name, without "App:".
  const bool appCommand = m_editor && !m_item && m_folder;
  const std::string button = !m_editor ? std::string() : appCommand ? m_folder->commandName() : m_editor->command().name();
  SetItemText(IDC_CE_TITLE, m_editor ? "Command Definition -  " + button : std::string(kCommandDefinitionTitle));
  SetItemText(IDC_CE_BUTTON, button);
  EnableItem(IDC_CE_CAPTURE, CanCapture());
  m_hotKey.SetValue(m_editor ? m_editor->command().hotKey() : 0);
  const uint32_t flags = m_editor ? m_editor->command().flags() : 0;
  CheckButton(IDC_CE_REPEAT, flags & CCmdArray::kAllowRepeat);
  CheckButton(IDC_CE_NO_OSD, flags & CCmdArray::kDisableOsd);
  for (int id : {IDC_CE_LAYOUT_NAME, IDC_CE_ACTIONS, IDC_CE_HOTKEY, IDC_CE_REPEAT, IDC_CE_NO_OSD, IDC_CE_ADD_LAYOUT,
                 IDC_CE_REMOVE_LAYOUT, IDC_CE_TABS})
    EnableItem(id, m_editor != nullptr);
  m_loading = false;
  ShowHold();
  FillTabs();
}

void CCommandPage::ShowHold() {
  m_loading = true;
  SendItem(IDC_CE_HOLD_TARGET, CB_RESETCONTENT);
  m_holdTargets.clear();
  const HoldSetting* setting = m_item ? m_tree.holds().find(*m_item->command()) : nullptr;
  int selected = -1;
  if (m_item) {
    // Named as the tree shows them below the remote.
    const std::string path = commandPath(*m_item);
    const std::string remotePrefix = path.substr(0, path.find('\\') + 1);
    std::vector<std::pair<std::string, const CCmdItem*>> targets;
    for (const CCmdItem* target : CHoldTable::targetsFor(m_tree, *m_item))
      targets.emplace_back(commandPath(*target).substr(remotePrefix.size()), target);
    std::stable_sort(targets.begin(), targets.end(),
                     [](const auto& a, const auto& b) { return icompare(a.first, b.first) < 0; });
    for (const auto& [label, target] : targets) {
      SendItem(IDC_CE_HOLD_TARGET, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win::toWide(label).c_str()));
      if (setting && setting->target == target->command()) selected = static_cast<int>(m_holdTargets.size());
      m_holdTargets.push_back(target->command());
    }
  }
  SendItem(IDC_CE_HOLD_TARGET, CB_SETCURSEL, static_cast<WPARAM>(selected));
  SetItemText(IDC_CE_HOLD_MS, setting ? std::to_string(setting->holdMs) : std::string());
  for (int id : {IDC_CE_HOLD_LABEL, IDC_CE_HOLD_MS, IDC_CE_HOLD_RUNS, IDC_CE_HOLD_TARGET})
    EnableItem(id, m_item != nullptr);
  m_loading = false;
}

void CCommandPage::ApplyHold(bool final) {
  if (!m_item) return;
  const std::string text = ItemText(IDC_CE_HOLD_MS);
  const LRESULT chosen = SendItem(IDC_CE_HOLD_TARGET, CB_GETCURSEL);
  const CCmdArray* target =
      chosen >= 0 && static_cast<size_t>(chosen) < m_holdTargets.size() ? m_holdTargets[chosen] : nullptr;
  const HoldSetting* before = m_tree.holds().find(*m_item->command());
  const uint32_t ms = text.empty() ? 0 : static_cast<uint32_t>(std::min<long long>(parseInteger(text), kMaxHoldMs + 1));
  if (ms == 0 && !text.empty() && !final) return;  // "0" on its way to more digits
  if (ms != 0 && (ms < kMinHoldMs || ms > kMaxHoldMs)) {
    if (!final) return;  // still being typed
    Ask(win::toWide(kMsgHoldRange), kMainWindowTitle, MB_OK | MB_ICONWARNING);
    ShowHold();
    return;
  }
  if (ms != 0 && !target) return;  // waits for its command to be chosen
  if (ms == 0 && !before) return;
  if (before && before->holdMs == ms && before->target == target) return;
  if (m_tree.holds().set(m_tree, *m_item, ms, target) == CHoldTable::SetResult::NotATarget) {
    ShowHold();
    return;
  }
  Changed();
}

void CCommandPage::FillTabs() {
  const HWND tabs = Item(IDC_CE_TABS);
  m_loading = true;
  TabCtrl_DeleteAllItems(tabs);
  int current = 0;
  if (m_editor) {
    int i = 0;
    for (CCmdArray* layout = &m_editor->command(); layout; layout = layout->next(), ++i) {
      std::wstring name = win::toWide(layout->layoutName());
      TCITEMW tab{};
      tab.mask = TCIF_TEXT;
      tab.pszText = name.data();
      TabCtrl_InsertItem(tabs, i, &tab);
      if (layout == &m_editor->currentLayout()) current = i;
    }
  }
  TabCtrl_SetCurSel(tabs, current);
  m_loading = false;
  ShowLayout();
}

void CCommandPage::ShowLayout() {
  m_loading = true;
  SetItemText(IDC_CE_LAYOUT_NAME, m_editor ? m_editor->currentLayout().layoutName() : std::string());
  m_loading = false;
  FillActions();
}

void CCommandPage::FillActions(const Selection& select) {
  const HWND list = Item(IDC_CE_ACTIONS);
  ListView_DeleteAllItems(list);
  if (m_editor) {
    const auto& actions = m_editor->currentLayout().actions();
    for (size_t i = 0; i < actions.size(); ++i) {
      const CMD& action = *actions[i];
      std::wstring name = win::toWide(action.name), type = win::toWide(action.typeName);
      LVITEMW item{};
      item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
      item.iItem = static_cast<int>(i);
      item.pszText = name.data();
      item.iImage = catalogueIconOf(action.typeName);
      item.stateMask = LVIS_CUT;
      item.state = m_editor->clipboard().isCut(&action) ? LVIS_CUT : 0;
      const int row = ListView_InsertItem(list, &item);
      ListView_SetItemText(list, row, 1, type.data());
    }
  }
  SelectActions(select);
  UpdateTools();
}

Selection CCommandPage::SelectedActions() const {
  Selection s;
  const HWND list = Item(IDC_CE_ACTIONS);
  for (int i = ListView_GetNextItem(list, -1, LVNI_SELECTED); i >= 0; i = ListView_GetNextItem(list, i, LVNI_SELECTED))
    s.push_back(static_cast<size_t>(i));
  return s;
}

void CCommandPage::SelectActions(const Selection& selection) {
  const HWND list = Item(IDC_CE_ACTIONS);
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  for (size_t p : selection) ListView_SetItemState(list, static_cast<int>(p), LVIS_SELECTED, LVIS_SELECTED);
  if (!selection.empty()) ListView_EnsureVisible(list, static_cast<int>(selection.back()), FALSE);
  UpdateTools();
}

void CCommandPage::UpdateTools() {
  const Selection s = SelectedActions();
  const HWND toolbar = Item(IDC_CE_TOOLBAR);
  const auto enable = [&](int id, bool on) { SendMessageW(toolbar, TB_ENABLEBUTTON, id, MAKELONG(on ? TRUE : FALSE, 0)); };
  enable(IDC_ACTION_NEW, m_editor != nullptr);
  enable(IDC_ACTION_EDIT, m_editor && m_editor->canEdit(s));
  enable(IDC_ACTION_DELETE, m_editor && m_editor->canDelete(s));
  enable(IDC_ACTION_UP, m_editor && m_editor->canMoveUp(s));
  enable(IDC_ACTION_DOWN, m_editor && m_editor->canMoveDown(s));
}

void CCommandPage::Changed() {
  m_tree.markModified();
  if (m_item && m_hooks.iconChanged) m_hooks.iconChanged(*m_item);
}

void CCommandPage::ApplyLayoutName() {
  if (!m_editor) return;
  const std::string name = ItemText(IDC_CE_LAYOUT_NAME);
  switch (m_editor->renameLayout(name)) {
    case CCommandEditor::LayoutNameResult::ReservedChar:
      Ask(win::toWide(kMsgReservedInLayoutName), win::toWide(kCommandDefinitionTitle), MB_OK | MB_ICONEXCLAMATION);
      [[fallthrough]];
    case CCommandEditor::LayoutNameResult::Ignored:
      m_loading = true;
      SetItemText(IDC_CE_LAYOUT_NAME, m_editor->currentLayout().layoutName());
      m_loading = false;
      return;
    case CCommandEditor::LayoutNameResult::Renamed: {
      const std::wstring shown = win::toWide(m_editor->currentLayout().layoutName());
      m_loading = true;
      SetItemText(IDC_CE_LAYOUT_NAME, m_editor->currentLayout().layoutName());
      m_loading = false;
      TCITEMW tab{};
      tab.mask = TCIF_TEXT;
      tab.pszText = const_cast<wchar_t*>(shown.c_str());
      TabCtrl_SetItem(Item(IDC_CE_TABS), TabCtrl_GetCurSel(Item(IDC_CE_TABS)), &tab);
      return;
    }
  }
}

namespace {
ActionDialogContext contextFor(CCommandEditor& editor, const APPFOLDER* folder, const CommandPageHooks& hooks) {
  ActionDialogContext context;
  context.actionsInLayout = editor.currentLayout().actions().size();
  for (const CCmdArray* layout = &editor.command(); layout; layout = layout->next())
    context.layouts.push_back(layout->layoutName());
  if (folder) {
    context.folderFile = folder->fileName();
    context.folderWindow = folder->windowName;
  }
  context.programFolder = hooks.programFolder;
  context.mainWindow = hooks.mainWindow;
  if (exec::CActionServices* services = hooks.services ? hooks.services() : nullptr) {
    context.system = services->system.get();
    context.mixer = services->mixer.get();
  }
  if (hooks.prompt)
    context.tell = [prompt = hooks.prompt](const std::wstring& text, const std::wstring& title) {
      prompt->Ask(nullptr, text, title, MB_OK | MB_ICONEXCLAMATION);
    };
  return context;
}
}  // namespace

void CCommandPage::NewAction() {
  if (!m_editor) return;
  ActionDialogContext context = contextFor(*m_editor, m_folder, m_hooks);
  context.isNew = true;
  CActionDefinitionDialog dialog(CMD{}, std::move(context));
  if (!dialog.Run(m_hwnd) || !m_editor) return;
  m_editor->addAction(std::make_unique<CMD>(dialog.Action()));
  FillActions({m_editor->currentLayout().actions().size() - 1});
}

void CCommandPage::EditAction() {
  const Selection s = SelectedActions();
  if (!m_editor || !m_editor->canEdit(s)) return;
  auto& actions = m_editor->currentLayout().actions();
  ActionDialogContext context = contextFor(*m_editor, m_folder, m_hooks);
  context.isNew = false;
  context.position = static_cast<int>(s.front());
  // The dialog edits a copy: a run of this command never sees a half-edited action.
  CActionDefinitionDialog dialog(*actions[s.front()], std::move(context));
  if (!dialog.Run(m_hwnd) || !m_editor || s.front() >= actions.size()) return;
  *actions[s.front()] = dialog.Action();
  FillActions({m_editor->actionEdited(s.front())});
}

void CCommandPage::RunCommand(int id) {
  if (!m_editor) return;
  const Selection s = SelectedActions();
  switch (id) {
    case IDC_ACTION_NEW: NewAction(); return;
    case IDC_ACTION_EDIT: EditAction(); return;
    case IDC_ACTION_DELETE:
      if (!m_editor->canDelete(s)) return;
      m_editor->deleteActions(s);
      FillActions();
      return;
    case IDC_ACTION_UP: FillActions(m_editor->moveUp(s)); return;
    case IDC_ACTION_DOWN: FillActions(m_editor->moveDown(s)); return;
    case IDC_ACTION_COPY:
      if (!m_editor->copy(s)) MessageBeep(MB_OK);
      FillActions(s);  // no cut marks are left
      return;
    case IDC_ACTION_CUT:
      if (!m_editor->cut(s)) MessageBeep(MB_OK);
      FillActions(s);
      return;
    case IDC_ACTION_PASTE: {
      const size_t before = m_editor->currentLayout().actions().size();
      if (!m_editor->paste()) {
        MessageBeep(MB_OK);
        return;
      }
      Selection pasted;
      for (size_t i = before; i < m_editor->currentLayout().actions().size(); ++i) pasted.push_back(i);
      FillActions(pasted);
      return;
    }
  }
}

void CCommandPage::ShowListMenu(POINT screen) {
  const HMENU bar = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_ACTION_LIST));
  if (!bar) return;
  const HMENU menu = GetSubMenu(bar, 0);
  const Selection s = SelectedActions();
  const auto gray = [&](int id, bool on) { EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
  gray(IDC_ACTION_EDIT, m_editor && m_editor->canEdit(s));
  gray(IDC_ACTION_DELETE, m_editor && m_editor->canDelete(s));
  gray(IDC_ACTION_CUT, !s.empty());
  gray(IDC_ACTION_COPY, !s.empty());
  gray(IDC_ACTION_PASTE, m_editor && !m_editor->clipboard().empty());
  const UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, m_hwnd, nullptr);
  DestroyMenu(bar);
  if (chosen) RunCommand(static_cast<int>(chosen));
}

bool CCommandPage::CanCapture() const {
  // The one command of "Startup Macro" keeps its fixed name.
  return m_item && !(m_item->parent() && m_tree.isStartupMacro(*m_item->parent()));
}

void CCommandPage::StartCapture() {
  if (!CanCapture() || !m_hooks.setButtonCapture) return;
  m_capturing = true;
  SetDlgItemTextW(m_hwnd, IDC_CE_BUTTON, kCaptureWaiting);
  m_hooks.setButtonCapture(m_hwnd);
}

void CCommandPage::CancelCapture() {
  if (!m_capturing) return;
  m_capturing = false;
  if (m_hooks.setButtonCapture) m_hooks.setButtonCapture(nullptr);
  if (m_hwnd) SetItemText(IDC_CE_BUTTON, m_editor ? m_editor->command().name() : std::string());
}

void CCommandPage::Captured(const std::string& button) {
  CancelCapture();
  if (!m_item) return;
  CCmdItem& item = *m_item;
  switch (m_tree.rename(item, button)) {
    case RenameResult::ReservedChar:
      Ask(win::toWide(kMsgReservedName), kMainWindowTitle, MB_OK | MB_ICONEXCLAMATION);
      return;
    case RenameResult::Duplicate:
      Ask(win::toWide(kMsgNameExists), kMainWindowTitle, MB_OK | MB_ICONEXCLAMATION);
      return;
    case RenameResult::Ignored: return;
    case RenameResult::Renamed: break;
  }
  SetItemText(IDC_CE_BUTTON, button);
  if (m_editor) SetItemText(IDC_CE_TITLE, m_editor->title());
  if (m_hooks.itemRenamed) m_hooks.itemRenamed(item);
}

bool CCommandPage::OnCommand(int id, int notification, HWND control) {
  if (m_loading) return true;
  switch (id) {
    case IDC_CE_LAYOUT_NAME:
      if (notification == EN_KILLFOCUS) ApplyLayoutName();
      return true;
    case IDC_CE_HOLD_MS:
      if (notification == EN_CHANGE || notification == EN_KILLFOCUS) ApplyHold(notification == EN_KILLFOCUS);
      return true;
    case IDC_CE_HOLD_TARGET:
      if (notification == CBN_SELCHANGE) ApplyHold(true);
      return true;
    case IDC_CE_HOTKEY:
      if (notification == EN_CHANGE && m_editor) {
        const uint32_t value = m_hotKey.Value();
        m_editor->setHotKey(value >> 16, value & 0xFFFF);
      }
      return true;
    case IDC_CE_REPEAT:
    case IDC_CE_NO_OSD:
      if (notification == BN_CLICKED && m_editor) {
        const uint32_t bit = id == IDC_CE_REPEAT ? CCmdArray::kAllowRepeat : CCmdArray::kDisableOsd;
        const uint32_t flags = m_editor->command().flags();
        m_editor->command().setFlags(IsButtonChecked(id) ? flags | bit : flags & ~bit);
        Changed();
      }
      return true;
    case IDC_CE_ADD_LAYOUT:
      if (notification == BN_CLICKED && m_editor) {
        ApplyLayoutName();
        CCmdArray* before = &m_editor->currentLayout();
        CCmdArray& added = m_editor->addLayout();
        std::wstring name = win::toWide(added.layoutName());
        TCITEMW tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = name.data();
        const int at = TabCtrl_GetItemCount(Item(IDC_CE_TABS));
        if (TabCtrl_InsertItem(Item(IDC_CE_TABS), at, &tab) < 0) {
          Ask(win::toWide(kMsgCannotAddLayout), kMainWindowTitle, MB_OK | MB_ICONERROR);
          m_editor->selectLayout(*before);
        }
        FillTabs();
      }
      return true;
    case IDC_CE_REMOVE_LAYOUT:
      if (notification == BN_CLICKED && m_editor) {
        if (!m_editor->removeCurrentLayout())
          Ask(win::toWide(kMsgCannotRemoveLayout), kMainWindowTitle, MB_OK | MB_ICONERROR);
        FillTabs();
      }
      return true;
    case IDC_CE_CAPTURE:
      if (notification == BN_CLICKED) m_capturing ? CancelCapture() : StartCapture();
      return true;
    case IDC_ACTION_NEW:
    case IDC_ACTION_EDIT:
    case IDC_ACTION_DELETE:
    case IDC_ACTION_CUT:
    case IDC_ACTION_COPY:
    case IDC_ACTION_PASTE:
    case IDC_ACTION_UP:
    case IDC_ACTION_DOWN:
      RunCommand(id);
      return true;
  }
  return CModelessDialog::OnCommand(id, notification, control);
}

bool CCommandPage::OnNotify(int id, NMHDR& header, LRESULT& result) {
  if (m_loading) return false;
  if (header.code == TTN_GETDISPINFOW) {
    auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
    for (const Tool& tool : kTools)
      if (static_cast<int>(header.idFrom) == tool.id) info.lpszText = const_cast<wchar_t*>(tool.tip);
    return true;
  }
  if (id == IDC_CE_TABS && header.code == TCN_SELCHANGING) {
    ApplyLayoutName();
    result = FALSE;
    return true;
  }
  if (id == IDC_CE_TABS && header.code == TCN_SELCHANGE && m_editor) {
    if (CCmdArray* layout = m_editor->command().layoutAt(static_cast<size_t>(TabCtrl_GetCurSel(Item(IDC_CE_TABS)))))
      m_editor->selectLayout(*layout);
    ShowLayout();
    return true;
  }
  if (id != IDC_CE_ACTIONS) return false;
  switch (header.code) {
    case LVN_ITEMCHANGED: UpdateTools(); return true;
    case NM_DBLCLK: EditAction(); return true;
    case NM_RCLICK: {
      POINT at{};
      GetCursorPos(&at);
      ShowListMenu(at);
      return true;
    }
    case LVN_KEYDOWN: {
      const auto& key = reinterpret_cast<NMLVKEYDOWN&>(header);
      const bool control = GetKeyState(VK_CONTROL) < 0;
      if (control && key.wVKey == 'C') RunCommand(IDC_ACTION_COPY);
      else if (control && key.wVKey == 'V') RunCommand(IDC_ACTION_PASTE);
      else if (control && key.wVKey == 'X') RunCommand(IDC_ACTION_CUT);
      else if (key.wVKey == VK_DELETE) RunCommand(IDC_ACTION_DELETE);
      return true;
    }
  }
  return false;
}

bool CCommandPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
  if (msg == abi::kVexaMessage && wp == abi::MainCode::kCommand && m_capturing) {
    // A press while the field waits: its button names the command; nothing runs.
    if (const auto* record = reinterpret_cast<const abi::CommandRecord*>(lp))
      Captured(win::toUtf8(win::ansiToWide(std::string(record->command, abi::fieldLength(record->command)))));
    SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, 1);
    result = TRUE;
    return true;
  }
  if (msg == WM_CTLCOLORSTATIC) {
    // Labels and check boxes on the tab's page take the page's colour, not the dialog's.
    const HWND label = reinterpret_cast<HWND>(lp);
    RECT tabs{}, at{};
    GetWindowRect(Item(IDC_CE_TABS), &tabs);
    GetWindowRect(label, &at);
    if (label == Item(IDC_CE_BUTTON) || at.top < tabs.top) return false;
    SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
    result = reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
    return true;
  }
  if (msg == WM_DESTROY) {
    CancelCapture();
    m_hotKey.Detach();
  }
  return false;
}

INT_PTR CCommandDefinitionDialog::Run(HWND owner) {
  return DoModal(owner, GetModuleHandleW(nullptr), IDD_COMMAND_DEFINITION);
}

bool CCommandDefinitionDialog::OnInitDialog() {
  SetWindowTextW(m_hwnd, L"Command definition");
  if (!m_page.Create(m_hwnd)) return true;
  RECT area{};
  GetWindowRect(Item(IDC_CD_PAGE), &area);
  MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&area), 2);
  SetWindowPos(m_page.Handle(), HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
               SWP_SHOWWINDOW);
  m_page.ShowCommand(&m_command, nullptr, m_folder);
  return true;
}

}  // namespace vexa::shell
