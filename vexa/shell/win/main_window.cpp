#include "vexa/shell/win/main_window.h"

#include <commctrl.h>

#include <algorithm>

#include "vexa/device/plugin_abi.h"
#include "vexa/device/win/device.h"
#include "vexa/device/win/device_page.h"
#include "vexa/device/win/device_selection_page.h"
#include "vexa/exec/win/app_scan.h"
#include "vexa/exec/win/exec_engine.h"
#include "vexa/model/app_library.h"
#include "vexa/model/names.h"
#include "vexa/codec/ini_file.h"
#include "vexa/shell/res/resource.h"
#include "vexa/osd/osd_modes.h"
#include "vexa/osd/win/osd.h"
#include "vexa/osd/win/osd_settings_dialog.h"
#include "vexa/osd/win/osd_settings_page.h"
#include "vexa/osd/win/osd_settings_store.h"
#include "vexa/presets/win/export_wizard.h"
#include "vexa/presets/win/preset_load.h"
#include "vexa/presets/win/preset_manager.h"
#include "vexa/shell/win/app_folder_page.h"
#include "vexa/shell/win/option_pages.h"
#include "vexa/shell/win/shutdown_window.h"
#include "vexa/shell/win/command_pages.h"
#include "vexa/shell/win/locate_dialog.h"
#include "vexa/shell/win/command_tree_editor.h"
#include "vexa/shell/win/command_tree_view.h"
#include "vexa/winlib/shell_folders.h"
#include "vexa/winlib/menu.h"
#include "vexa/winlib/system_code_page.h"
#include "vexa/winlib/unicode.h"
#include "vexa/base/program_messages.h"

namespace vexa::shell {

namespace {

// A text the sender allocated with new[] (or null). Plug-ins write the system
// code page; the program's own runs UTF-8.
std::wstring takeText(LPARAM lp, const wchar_t* fallback,
                      std::wstring (*decode)(std::string_view) = win::ansiToWide) {
  char* text = reinterpret_cast<char*>(lp);
  if (!text) return fallback ? fallback : L"";
  std::wstring wide = decode(text);
  delete[] text;
  return wide;
}

std::string recordText(const char (&field)[256]) {
  return win::toUtf8(win::ansiToWide(std::string(field, abi::fieldLength(field))));
}

}  // namespace

CMainWindow::CMainWindow() = default;
CMainWindow::~CMainWindow() = default;

bool CMainWindow::Create(HICON icon, HICON smallIcon) {
  if (!RegisterWindowClass(kMainWindowClass, icon, smallIcon)) return false;
  const HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAIN_MENU));
  if (!CWindow::Create(kMainWindowClass, kMainWindowTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                       {CW_USEDEFAULT, CW_USEDEFAULT, 900, 600}, nullptr, menu)) {
    if (menu) DestroyMenu(menu);
    return false;
  }
  if (!m_tree.Create(Handle(), kTreeViewId)) {
    Destroy();
    return false;
  }
  const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  m_tabs = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0, Handle(),
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kTabsId)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(m_tabs, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  m_statusBar = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, Handle(),
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kStatusBarId)),
                                GetModuleHandleW(nullptr), nullptr);
  CreateGroupList();
  CreateButtons();
  CreateOptionPages();
  ShowStatus(L"");
  ShowPage(m_page);
  // No tray (no shell running) is not fatal: the window still works.
  const HICON idle = m_trayIcons.Load(GetModuleHandleW(nullptr)) ? m_trayIcons.idle.Get() : smallIcon;
  m_tray.Add(Handle(), kTrayIconId, ProgramMessage::kTrayNotify, idle, kMainWindowTitle);
  if (m_trayIcons.idle.Get()) m_trayPicture = std::make_unique<CTrayState>(m_tray, m_trayIcons, Handle(), kFlashTimer);
  m_dispatch = std::make_unique<CCommandDispatch>(Handle(), DispatchSettings::fromRegistry(),
                                                  [this](const std::wstring& text) { ShowTemporaryStatus(text); });
  m_dispatch->SetEndProgram([this] { StopProgram(); });
  CreateOsdPage();
  return true;
}

void CMainWindow::CreateOsdPage() {
  osd::win::OsdSettingsPageHooks hooks;
  hooks.preview = [this](const osd::OsdSettings& settings) {
    if (!m_dispatch) return;
    m_dispatch->Osd().ApplySettings(settings, m_settings.typematicDelayMs);
    m_dispatch->Osd().ShowBar(osd::Mode::kVolume, static_cast<int32_t>((40000u << 16) | 40000u), "Master",
                              (settings.timeoutSeconds + 1) * 1000);
  };
  hooks.changed = [this] { SetApplyReason(ApplyReason::Pages, true); };
  auto page = std::make_unique<osd::win::COsdSettingsPage>(std::move(hooks));
  if (!page->Create(Handle(), GetModuleHandleW(nullptr), {0, 0})) return;
  page->Load(m_dispatch->Osd().Settings());
  m_osdSettingsPage = std::move(page);
  AttachOsdPage(m_osdSettingsPage->Handle());
}

void CMainWindow::CreateGroupList() {
  m_groups = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_ICON | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                 LVS_ALIGNTOP | LVS_NOSCROLL,
                             0, 0, 0, 0, Handle(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kGroupListId)),
                             GetModuleHandleW(nullptr), nullptr);
  SendMessageW(m_groups, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  m_groupImages.Attach(ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 3, 0));
  const wchar_t* names[] = {L"General\nConfig", L"Hardware\nSetup", L"Actions"};
  const int icons[] = {IDI_GROUP_GENERAL, IDI_GROUP_HARDWARE, IDI_GROUP_ACTIONS};
  for (int i = 0; i < 3; ++i) {
    win::CIcon icon;
    icon.Load(GetModuleHandleW(nullptr), icons[i], 32, 32);
    ImageList_AddIcon(m_groupImages.Get(), icon.Get());
  }
  SendMessageW(m_groups, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(m_groupImages.Get()));
  for (int i = 0; i < 3; ++i) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = i;
    item.iImage = i;
    item.pszText = const_cast<wchar_t*>(names[i]);
    SendMessageW(m_groups, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
}

void CMainWindow::CreateButtons() {
  const auto button = [this](const wchar_t* text, UINT id) {
    const HWND b = CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0,
                                   Handle(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    SendMessageW(b, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return b;
  };
  m_hideButton = button(L"Hide", kCmdHide);
  m_applyButton = button(L"Apply", kCmdSave);
  m_helpButton = button(L"&Help", kHelpButtonId);
  m_exitButton = button(L"Exit", kCmdExit);
  UpdateApplyButton();
}

void CMainWindow::CreateOptionPages() {
  m_optionsPage = std::make_unique<CGeneralOptionsPage>();
  m_serverPage = std::make_unique<CServerPage>();
  // Without the templates (a program built without our resources) the group still shows the rest.
  if (!m_optionsPage->Create(Handle(), IDD_GENERAL_OPTIONS)) m_optionsPage.reset();
  if (!m_serverPage->Create(Handle(), IDD_SERVER)) m_serverPage.reset();
  SetProgramSettings(m_settings);
}

void CMainWindow::AttachOsdPage(HWND page) {
  m_osdPage = page;
  m_tabsGroup.reset();  // the tabs of "General Config" change
  LayOut();
  ShowPage(m_page);
}

void CMainWindow::SetProgramSettings(const ProgramSettings& settings) {
  m_settings = settings;
  if (m_optionsPage) m_optionsPage->Show(settings);
  if (m_serverPage) m_serverPage->Show(settings);
}

bool CMainWindow::UpdateSettingsFromPages() {
  ProgramSettings taken = m_settings;
  const std::pair<COptionPage*, PageId> pages[] = {{m_optionsPage.get(), PageId::GeneralOptions},
                                                   {m_serverPage.get(), PageId::Server}};
  for (const auto& [page, id] : pages) {
    if (!page) continue;
    if (const auto error = page->Store(taken)) {
      ShowPage(id);
      Ask(error->message, MB_OK | MB_ICONEXCLAMATION);
      SetFocus(page->Item(error->control));
      return false;
    }
  }
  const bool changed = !(taken == m_settings);
  m_settings = taken;
  if (changed && m_settingsChanged) m_settingsChanged(m_settings);
  return true;
}

void CMainWindow::ShowCommandTree(const CCmdTree& tree) { fillCommandTree(m_tree, tree); }

void CMainWindow::SetCommandTree(CCmdTree* tree) {
  m_commands = tree;
  if (m_dispatch) m_dispatch->SetTree(tree);
  m_pages.reset();
  m_editor.reset();
  if (!tree) return;
  TreeEditorHooks hooks;
  hooks.modified = [this] { SetApplyReason(ApplyReason::CommandTree, true); };
  hooks.selectionChanged = [this](CCmdItem* item) { OnTreeSelection(item); };
  hooks.test = [this, tree](const CCmdItem& item) {
    const CCmdItem* remote = &item;
    while (remote->parent()) remote = remote->parent();
    if (m_dispatch)
      m_dispatch->Engine().StartCommandRun(
          Handle(), snapshotOf(*item.command()->activeLayout(), tree->appFolderOf(*item.command()), remote->label()), 0,
          true, false);
  };
  hooks.programFolder = win::programFolder();
  hooks.resolve = [this, folder = hooks.programFolder](std::string_view placeholder) {
    CIniFile locations;
    try {
      locations = CIniFile::load(folder / std::string(kAppsFolder) / std::string(kLocationsFile), win::CSystemCodePage());
    } catch (const std::exception&) {
    }
    const auto exists = [](std::string_view file) {
      const DWORD attributes = GetFileAttributesW(win::toWide(file).c_str());
      return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    };
    const auto ask = [this, &exists](std::string_view name) {
      LocateDialogHooks dialogHooks;
      dialogHooks.accept = [&](std::string_view typed) { return acceptLocatedPath(typed, exists); };
      auto located = runLocateDialog(Handle(), name, dialogHooks);
      if (!located)
        MessageBoxW(Handle(), win::toWide(kLocateCancelled).c_str(), kMainWindowTitle, MB_OK | MB_ICONINFORMATION);
      return located;
    };
    return resolvePlaceholderInteractively(placeholder, locations, exec::registryReader(), exists, ask);
  };
  m_editor = std::make_unique<CCommandTreeEditor>(m_tree, *tree, std::move(hooks));
  // The pages beside the tree.
  CommandPagesHooks pageHooks;
  pageHooks.folder.iconChanged = [this](const CCmdItem& folder) {
    if (m_editor) m_editor->RefreshIcon(folder);
  };
  pageHooks.folder.commandNames = [this](const std::string& remote) {
    std::vector<std::string> names;
    if (m_device)
      names = m_device->CommandNames(remote);
    return names;
  };
  pageHooks.command.mainWindow = Handle();
  pageHooks.command.programFolder = win::programFolder();
  pageHooks.command.setButtonCapture = [this](HWND window) {
    if (m_dispatch) m_dispatch->SetButtonCapture(window);
  };
  pageHooks.command.itemRenamed = [this](const CCmdItem& item) {
    if (m_editor) m_editor->Refresh(&item);
  };
  pageHooks.command.iconChanged = pageHooks.folder.iconChanged;
  m_pages = std::make_unique<CCommandPages>(*tree, std::move(pageHooks));
  m_pages->Create(Handle(), PageArea());
  m_editor->Refresh();
  LayOut();
}

void CMainWindow::OnTreeSelection(CCmdItem* item) {
  if (m_pages) m_pages->ShowSelection(item);
}

CAppFolderPage* CMainWindow::FolderPage() { return m_pages ? &m_pages->FolderPage() : nullptr; }

void CMainWindow::SetApplyReason(ApplyReason reason, bool set) {
  const auto bit = static_cast<unsigned>(reason);
  m_applyReasons = set ? (m_applyReasons | bit) : (m_applyReasons & ~bit);
  UpdateApplyButton();
}

void CMainWindow::UpdateApplyButton() {
  if (m_applyButton) EnableWindow(m_applyButton, IsApplyEnabled());
}

bool CMainWindow::SaveAll() {
  if (!UpdateSettingsFromPages()) return false;
  if (!m_save || !m_save()) return false;
  if (m_osdSettingsPage && m_dispatch) {
    if (!osd::win::saveOsdSettings(m_osdSettingsPage->Settings(), win::CSystemCodePage())) {
      Ask(L"Could not write to registry", MB_OK | MB_ICONERROR);
      return false;
    }
    m_dispatch->ApplySettings(DispatchSettings::fromRegistry());
  }
  m_applyReasons = 0;
  UpdateApplyButton();
  return true;
}

int CMainWindow::Ask(const std::wstring& text, UINT buttons) {
  return m_ask ? m_ask(text, buttons & MB_TYPEMASK) : MessageBoxW(Handle(), text.c_str(), kMainWindowTitle, buttons);
}

void CMainWindow::Open() {
  Show(IsIconic(Handle()) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(Handle());
}

void CMainWindow::Exit() {
  if (!IsCreated()) return;  // already left
  if (m_dispatch && !m_dispatch->StopRunsForExit(Handle())) return;
  if (!m_settings.options.has(ProgramOptions::kNoExitConfirmation) &&
      Ask(L"Do you really want to quit?", MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  if (IsApplyEnabled() && m_save) {
    switch (Ask(L"Save changes?", MB_YESNOCANCEL | MB_ICONQUESTION)) {
      case IDCANCEL:
        return;
      case IDYES:
        if (!SaveAll()) return;  // the handler said why; nothing is lost by staying
        break;
      default:
        break;
    }
  }
  ShutDown();
}

void CMainWindow::ShutDown() {
  StopProgram();
  Destroy();
}

void CMainWindow::StopProgram() {
  Show(SW_HIDE);
  const auto run = [](const std::function<void()>& step) {
    if (step) step();
  };
  run(m_shutdownHooks.stopServer);
  CShutdownWindow progress(m_settings.options.has(ProgramOptions::kShowShutdownWindow));
  // The device's threads send to this window: stop them while it still exists.
  if (m_device) m_device->UnloadPlugin();
  progress.Step();
  if (m_sessions) m_sessions->Unregister();
  run(m_shutdownHooks.endSessionNotifications);
  progress.Step();
  if (m_dispatch) m_dispatch->Engine().Shutdown();
  progress.Step();
  run(m_shutdownHooks.atProgramEnd);
  progress.Step();
  progress.Destroy();
}

bool CMainWindow::WatchSessions(SessionHooks hooks) {
  m_sessions = std::make_unique<CSessionWatch>(Handle(), kSessionTimer, std::move(hooks));
  return m_sessions->Register();
}

int CMainWindow::RunStartupMacro() {
  if (!m_commands || !m_dispatch) return 0;
  int started = 0;
  for (const auto& remote : m_commands->remotes()) {
    // Exactly this name: a remote named otherwise is the user's own.
    if (remote->label() != kStartupMacro) continue;
    for (const auto& item : remote->children()) {
      if (item->kind() != ItemKind::Command) continue;
      const CCmdArray& command = *item->command()->activeLayout();
      started += m_dispatch->Engine().StartCommandRun(
          Handle(), snapshotOf(command, m_commands->appFolderOf(*item->command()), std::string(kStartupMacro)), 0, true,
          false);
    }
  }
  return started;
}

// ---- Pages ----------------------------------------------------------------------------

namespace {

constexpr int kGap = 6;
constexpr int kGroupListWidth = 96;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 24;

struct PagePlace {
  CMainWindow::PageGroup group;
  int tab;
};

PagePlace placeOf(CMainWindow::PageId page) {
  using Id = CMainWindow::PageId;
  using Group = CMainWindow::PageGroup;
  switch (page) {
    case Id::Commands: return {Group::Actions, 0};
    case Id::HardwareSetup: return {Group::HardwareSetup, 0};
    case Id::DeviceSelection: return {Group::GeneralConfig, 0};
    case Id::GeneralOptions: return {Group::GeneralConfig, 1};
    case Id::Server: return {Group::GeneralConfig, 2};
    case Id::Osd: return {Group::GeneralConfig, 3};
  }
  return {Group::Actions, 0};
}

constexpr CMainWindow::PageId kGeneralTabs[] = {CMainWindow::PageId::DeviceSelection,
                                                CMainWindow::PageId::GeneralOptions, CMainWindow::PageId::Server,
                                                CMainWindow::PageId::Osd};

}  // namespace

CMainWindow::PageGroup CMainWindow::CurrentGroup() const { return placeOf(m_page).group; }

RECT CMainWindow::PageArea() const {
  RECT tabs{};
  if (!m_tabs) return tabs;
  GetWindowRect(m_tabs, &tabs);
  MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&tabs), 2);
  SendMessageW(m_tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&tabs));
  if (tabs.bottom < tabs.top) tabs.bottom = tabs.top;
  if (tabs.right < tabs.left) tabs.right = tabs.left;
  return tabs;
}

void CMainWindow::LayOut() {
  RECT client{};
  GetClientRect(Handle(), &client);
  if (m_statusBar) SendMessageW(m_statusBar, WM_SIZE, 0, 0);
  RECT status{};
  if (m_statusBar) GetWindowRect(m_statusBar, &status);
  const int bottom = client.bottom - (status.bottom - status.top);
  // The buttons in a row at the bottom right, the group list on the left, the tabs between.
  const int buttonsTop = bottom - kGap - kButtonHeight;
  int x = client.right - kGap - kButtonWidth;
  for (HWND b : {m_exitButton, m_helpButton, m_applyButton, m_hideButton}) {
    if (b) MoveWindow(b, x, buttonsTop, kButtonWidth, kButtonHeight, TRUE);
    x -= kButtonWidth + kGap;
  }
  if (m_groups) {
    MoveWindow(m_groups, kGap, kGap, kGroupListWidth, buttonsTop - 2 * kGap, TRUE);
    SendMessageW(m_groups, LVM_ARRANGE, LVA_ALIGNTOP, 0);
  }
  const int tabsLeft = m_groups ? 2 * kGap + kGroupListWidth : 0;
  if (m_tabs)
    MoveWindow(m_tabs, tabsLeft, kGap, std::max(0, static_cast<int>(client.right) - tabsLeft - kGap),
               std::max(0, buttonsTop - 2 * kGap), TRUE);
  const RECT area = PageArea();
  const int w = area.right - area.left, h = area.bottom - area.top;
  if (m_pages) {
    // The tree on the left, the page of the selected item beside it.
    const int treeWidth = std::max(160, w - 480);
    MoveWindow(m_tree.Handle(), area.left, area.top, treeWidth, h, TRUE);
    m_pages->Move({area.left + treeWidth, area.top, area.right, area.bottom});
  } else {
    MoveWindow(m_tree.Handle(), area.left, area.top, w, h, TRUE);
  }
  for (HWND page : {m_selectionPage ? m_selectionPage->Handle() : nullptr,
                    m_optionsPage ? m_optionsPage->Handle() : nullptr, m_serverPage ? m_serverPage->Handle() : nullptr,
                    m_osdPage})
    if (page) MoveWindow(page, area.left, area.top, w, h, TRUE);
  // Our own device page follows the area; a first-generation plug-in's dialog keeps its size.
  if (m_device && m_device->Page() && m_device->Page()->Handle())
    MoveWindow(m_device->Page()->Handle(), area.left, area.top, w, h, TRUE);
  if (m_device) m_device->SetPagePosition({area.left, area.top});
  if (m_tabs) SetWindowPos(m_tabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CMainWindow::FillTabs(PageGroup group) {
  if (m_tabsGroup == group) return;
  m_tabsGroup = group;
  SendMessageW(m_tabs, TCM_DELETEALLITEMS, 0, 0);
  std::vector<const wchar_t*> titles;
  switch (group) {
    case PageGroup::GeneralConfig:
      titles = {L"Device Selection", L"General Options", L"TCP/IP Server"};
      if (m_osdPage) titles.push_back(L"On-Screen Display");
      break;
    case PageGroup::HardwareSetup: titles = {L"Hardware Setup"}; break;
    case PageGroup::Actions: titles = {L"Actions"}; break;
  }
  for (size_t i = 0; i < titles.size(); ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(titles[i]);
    SendMessageW(m_tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
}

void CMainWindow::ShowGroup(PageGroup group) {
  switch (group) {
    case PageGroup::GeneralConfig: ShowPage(PageId::DeviceSelection); break;
    case PageGroup::HardwareSetup: ShowPage(PageId::HardwareSetup); break;
    case PageGroup::Actions: ShowPage(PageId::Commands); break;
  }
}

HWND CMainWindow::DevicePage() const {
  const HWND page = m_device ? m_device->PageHandle() : nullptr;
  return page && IsWindow(page) ? page : nullptr;
}

void CMainWindow::AttachDevice(device::CDevice* device) {
  m_selectionPage.reset();
  m_device = device;
  if (!device) return;
  device->SetNotifyWindow(Handle());
  device::SelectionPageHooks hooks;
  hooks.isApplyEnabled = [this] { return IsApplyEnabled(); };
  hooks.saveAllSettings = [this] { SaveAll(); };
  hooks.deviceChanged = [this] { RefreshDevicePage(); };
  m_selectionPage = std::make_unique<device::CDeviceSelectionPage>(*device, std::move(hooks));
  m_selectionPage->Create(Handle(), PageArea());
  LayOut();
  ShowPage(m_page);
}

void CMainWindow::RefreshDevicePage() {
  if (m_selectionPage && m_selectionPage->Handle()) m_selectionPage->Refresh();
  LayOut();
  ShowPage(m_page);
}

void CMainWindow::ShowPage(PageId page) {
  if (page == PageId::Osd && !m_osdPage) page = PageId::DeviceSelection;
  m_page = page;
  const PagePlace place = placeOf(page);
  if (m_tabs) {
    FillTabs(place.group);
    SendMessageW(m_tabs, TCM_SETCURSEL, static_cast<WPARAM>(place.tab), 0);
  }
  if (m_groups) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(m_groups, LVM_SETITEMSTATE, static_cast<WPARAM>(place.group), reinterpret_cast<LPARAM>(&state));
  }
  const auto show = [](HWND window, bool visible) {
    if (window) ShowWindow(window, visible ? SW_SHOW : SW_HIDE);
  };
  show(m_tree.Handle(), page == PageId::Commands);
  if (m_pages) m_pages->Show(page == PageId::Commands);
  if (const HWND devicePage = DevicePage()) {
    show(devicePage, page == PageId::HardwareSetup);
    if (page == PageId::HardwareSetup) SetWindowPos(devicePage, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  if (m_selectionPage) show(m_selectionPage->Handle(), page == PageId::DeviceSelection);
  if (m_optionsPage) show(m_optionsPage->Handle(), page == PageId::GeneralOptions);
  if (m_serverPage) show(m_serverPage->Handle(), page == PageId::Server);
  show(m_osdPage, page == PageId::Osd);
}

// ---- Dispatch -------------------------------------------------------------------------------

void CMainWindow::StartCommand(const std::string& remote, const std::string& command, int repeat, bool special) {
  CommandStart start{remote, command, repeat, special};
  if (m_startObserver) m_startObserver(start);
  ShowTemporaryStatus(win::toWide(remote) + L": " + win::toWide(command) +
                      (repeat > 0 ? L" (" + std::to_wstring(repeat) + L")" : std::wstring()));
  if (m_starter)
    m_starter(start);
  else if (m_dispatch)
    m_dispatch->Run(remote, command, repeat);
}

void CMainWindow::ShowStatus(const std::wstring& text) {
  m_statusShown = text;
  const std::wstring line = L"Status: " + text;
  if (m_statusBar) SendMessageW(m_statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(line.c_str()));
  // The tray tip goes through the shell, which costs milliseconds: a timer
  // updates it once this thread is idle, so that a press's run starts first.
  SetTimer(Handle(), kTrayTipTimer, USER_TIMER_MINIMUM, nullptr);
}

void CMainWindow::UpdateTrayTip() {
  KillTimer(Handle(), kTrayTipTimer);
  const std::wstring& text = m_statusShown;
  m_tray.SetTip(text.empty() ? std::wstring(kMainWindowTitle) : std::wstring(kMainWindowTitle) + L" - " + text);
}

void CMainWindow::SetPermanentStatus(const std::wstring& text) {
  KillTimer(Handle(), kStatusTimer);
  m_statusPermanent = text;
  ShowStatus(text);
}

void CMainWindow::ShowTemporaryStatus(const std::wstring& text) {
  ShowStatus(text);
  SetTimer(Handle(), kStatusTimer, kTemporaryStatusMs, nullptr);
}

LRESULT CMainWindow::OnVexaMessage(WPARAM code, LPARAM lp) {
  namespace MainCode = abi::MainCode;
  if (code == MainCode::kCommand) {
    auto* record = reinterpret_cast<abi::CommandRecord*>(lp);
    if (!record) return 1;
    if (!m_deviceNotReady && m_dispatch)
      m_dispatch->OnCommandRecord(recordText(record->remote), recordText(record->command), record->repeatCount,
                                  starter(), lp);
    delete record;
    return 1;
  }
  if (code == ProgramMessage::kHotKeyEvent) {
    if (!m_dispatch) return 0;
    return m_dispatch->OnHookKey(lp, [this](const std::string& remote, const std::string& command, bool special) {
      StartCommand(remote, command, 0, special);
    });
  }
  if (code == ProgramMessage::kKeyboardHookHandle) return m_keyboardHookHandle ? m_keyboardHookHandle() : 0;
  switch (code) {
    case MainCode::kSettingsChanged:
      SetApplyReason(ApplyReason::PlugIn, true);
      return 1;
    case MainCode::kSettingsSaved:
      SetApplyReason(ApplyReason::PlugIn, false);
      return 1;
    case MainCode::kCodeBlock:
    case MainCode::kTimingSample:
      if (const HWND page = FindWindowExW(Handle(), nullptr, nullptr, win::toWide(abi::kConfigWindowTitle).c_str()))
        return SendMessageW(page, abi::kVexaMessage, code, lp);
      return 0;
    case MainCode::kRestoreStatus:
      SetPermanentStatus(m_statusPermanent);
      return 1;
    case ProgramMessage::kRunStatus:
      ShowTemporaryStatus(takeText(lp, L"", win::toWide));
      return 1;
  }
  if (code < MainCode::kTemporaryStatus) return 0;
  // Every code above 99 carries a text that is ours to free.
  switch (code) {
    case MainCode::kDeviceReady:
      m_deviceNotReady = false;
      m_trayState = TrayState::Ready;
      if (m_trayPicture) m_trayPicture->SetReady(true);
      SetPermanentStatus(takeText(lp, L"Ready"));
      break;
    case MainCode::kDeviceNotInitialised:
      m_deviceNotReady = true;
      m_trayState = TrayState::Idle;
      if (m_trayPicture) m_trayPicture->SetReady(false);
      SetPermanentStatus(takeText(lp, L"Device not initialized"));
      break;
    case MainCode::kInitialising:
      SetPermanentStatus(takeText(lp, L"Initializing plugin..."));
      break;
    case MainCode::kDeviceDeactivated:
      m_deviceNotReady = true;
      m_trayState = TrayState::Idle;
      if (m_trayPicture) m_trayPicture->SetReady(false);
      SetPermanentStatus(takeText(lp, L"Device deactivated"));
      break;
    default:
      ShowTemporaryStatus(takeText(lp, L""));
      break;
  }
  return 1;
}

// ---- Window ---------------------------------------------------------------------------------

void CMainWindow::OnTrayNotify(LPARAM event) {
  switch (LOWORD(event)) {
    case WM_LBUTTONDBLCLK:
      Open();
      break;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
      ShowTrayMenu();
      break;
  }
}

void CMainWindow::ShowTrayMenu() {
  const HMENU menus = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU));
  if (!menus) return;
  const HMENU menu = GetSubMenu(menus, 0);
  SetMenuDefaultItem(menu, kCmdOpen, FALSE);
  EnableMenuItem(menu, ID_TRAY_DEACTIVATE, MF_BYCOMMAND | (m_device && m_device->HasMonitorThread() ? MF_ENABLED : MF_GRAYED));
  POINT at{};
  GetCursorPos(&at);
  // The menu must be foreground to close when the user clicks elsewhere.
  SetForegroundWindow(Handle());
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, Handle(), nullptr));
  PostMessageW(Handle(), WM_NULL, 0, 0);
  DestroyMenu(menus);
  if (chosen) OnCommand(chosen);
}

void CMainWindow::OnInitMenuPopup(HMENU menu) {
  const auto enable = [menu](UINT id, bool on) { EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
  enable(ID_FILE_SAVE_PRESET, static_cast<bool>(m_menuHooks.savePreset));
  enable(ID_FILE_IMPORT_PRESET, static_cast<bool>(m_menuHooks.importPreset));
  enable(ID_PREFS_PRESET_MANAGER, static_cast<bool>(m_menuHooks.presetManager));
  // The "&Presets" submenu lists the presets folder as it is now.
  for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i)
    if (const HMENU sub = GetSubMenu(menu, i); sub && GetMenuItemID(sub, 0) >= ID_PRESET_FIRST &&
                                                GetMenuItemID(sub, 0) <= ID_PRESET_LAST)
      FillPresetMenu(sub);
}

void CMainWindow::FillPresetMenu(HMENU presets) {
  while (GetMenuItemCount(presets) > 0) DeleteMenu(presets, 0, MF_BYPOSITION);
  m_presetItems = m_menuHooks.presetNames ? m_menuHooks.presetNames() : std::vector<std::wstring>{};
  const size_t most = ID_PRESET_LAST - ID_PRESET_FIRST + 1;
  if (m_presetItems.size() > most) m_presetItems.resize(most);
  for (size_t i = 0; i < m_presetItems.size(); ++i)
    AppendMenuW(presets, MF_STRING | (m_menuHooks.loadPreset ? 0 : MF_GRAYED), ID_PRESET_FIRST + i,
                m_presetItems[i].c_str());
  if (m_presetItems.empty()) AppendMenuW(presets, MF_STRING | MF_GRAYED, ID_PRESET_FIRST, L"(none)");
}

bool CMainWindow::OnCommand(UINT id) {
  if (id >= kCmdShowPage && id <= kCmdShowPage + static_cast<UINT>(PageId::Osd)) {
    Open();
    ShowPage(static_cast<PageId>(id - kCmdShowPage));
    return true;
  }
  if (id >= ID_PRESET_FIRST && id <= ID_PRESET_LAST) {
    const size_t index = id - ID_PRESET_FIRST;
    if (index < m_presetItems.size() && m_menuHooks.loadPreset) m_menuHooks.loadPreset(m_presetItems[index]);
    return true;
  }
  const auto run = [](const std::function<void()>& hook) {
    if (hook) hook();
    return true;
  };
  switch (id) {
    case kCmdOpen:
      Open();
      return true;
    case kCmdHide:
      Show(SW_HIDE);
      return true;
    case kCmdExit:
      Exit();
      return true;
    case kCmdSave:
      SaveAll();
      return true;
    case ID_TRAY_DEACTIVATE:
      if (m_device) m_device->StopSession();
      return true;
    case ID_VIEW_GENERAL:
      Open();
      ShowGroup(PageGroup::GeneralConfig);
      return true;
    case ID_VIEW_HARDWARE:
      Open();
      ShowGroup(PageGroup::HardwareSetup);
      return true;
    case ID_VIEW_ACTIONS:
      Open();
      ShowGroup(PageGroup::Actions);
      return true;
    case ID_FILE_SAVE_PRESET: return run(m_menuHooks.savePreset);
    case ID_FILE_IMPORT_PRESET: return run(m_menuHooks.importPreset);
    case ID_PREFS_PRESET_MANAGER: return run(m_menuHooks.presetManager);
    case kHelpButtonId:
    case ID_HELP_CONTENTS: return run(m_menuHooks.help);
    case ID_HELP_ABOUT: return run(m_menuHooks.about);
    case kCmdOsdSettings:
      OpenOsdSettings();
      return true;
    case kCmdScanApplications:
      // Lets layouts from other machines find the applications installed here.
      ShowTemporaryStatus(exec::buildLocationsFile(win::programFolder()) ? L"Applications scanned"
                                                                          : L"Could not scan the applications");
      return true;
  }
  return m_extraCommands && m_extraCommands(id);
}

void CMainWindow::SetPresetUi(presets::win::PresetUi ui) {
  m_presets = std::move(ui);
  MenuHooks hooks = m_menuHooks;
  hooks.savePreset = [this] { presets::win::runExportWizard(Handle(), m_presets); };
  hooks.importPreset = [this] { presets::win::loadPresetInteractive(Handle(), m_presets); };
  hooks.presetManager = [this] { presets::win::runPresetManager(Handle(), m_presets); };
  hooks.presetNames = [this] {
    std::vector<std::wstring> names;
    for (const std::string& name : presets::win::presetMenuNames(m_presets.programFolder))
      names.push_back(win::toWide(name));
    return names;
  };
  hooks.loadPreset = [this](const std::wstring& name) {
    presets::win::loadPresetByName(Handle(), m_presets, win::toUtf8(name));
  };
  m_menuHooks = std::move(hooks);
}

void CMainWindow::OpenOsdSettings() {
  if (!m_dispatch) return;
  osd::win::COsd& osd = m_dispatch->Osd();
  // The preview shows the page's settings until the dialog closes; then the stored ones apply again.
  const auto preview = [&osd](const osd::OsdSettings& settings) {
    osd.ApplySettings(settings, DispatchSettings::fromRegistry().typematicDelayMs);
    osd.ShowBar(osd::Mode::kVolume, static_cast<int32_t>((40000u << 16) | 40000u), "Master",
                (settings.timeoutSeconds + 1) * 1000);
  };
  const auto chosen = osd::win::runOsdSettingsDialog(Handle(), GetModuleHandleW(nullptr), osd.Settings(), preview);
  if (chosen && !osd::win::saveOsdSettings(*chosen, win::CSystemCodePage()))
    MessageBoxW(Handle(), L"Could not write to registry", kMainWindowTitle, MB_OK | MB_ICONERROR);
  m_dispatch->ApplySettings(DispatchSettings::fromRegistry());
}

CCommandDispatch::Starter CMainWindow::starter() {
  return [this](const std::string& remote, const std::string& command, int repeat) {
    StartCommand(remote, command, repeat);
  };
}

LRESULT CMainWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (m_dispatch)
    if (const auto handled = m_dispatch->OnEngineMessage(msg, wp, lp)) return *handled;
  switch (msg) {
    case abi::kVexaMessage:
      return OnVexaMessage(wp, lp);
    case WM_SIZE:
      LayOut();
      return 0;
    case WM_TIMER:
      if (m_trayPicture && m_trayPicture->OnTimer(wp)) return 0;
      if (m_sessions && m_sessions->OnTimer(wp)) return 0;
      if (wp == kTrayTipTimer) {
        UpdateTrayTip();
        return 0;
      }
      if (wp == kStatusTimer) {
        KillTimer(Handle(), kStatusTimer);
        ShowStatus(m_statusPermanent);
        return 0;
      }
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<NMHDR*>(lp);
      if (header->idFrom == kTabsId && header->code == TCN_SELCHANGE) {
        const auto tab = static_cast<size_t>(SendMessageW(m_tabs, TCM_GETCURSEL, 0, 0));
        if (CurrentGroup() == PageGroup::GeneralConfig && tab < std::size(kGeneralTabs)) ShowPage(kGeneralTabs[tab]);
        return 0;
      }
      if (header->idFrom == kGroupListId && header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lp);
        if ((change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED) && change->iItem >= 0 &&
            change->iItem < 3 && static_cast<PageGroup>(change->iItem) != CurrentGroup())
          ShowGroup(static_cast<PageGroup>(change->iItem));
        return 0;
      }
      if (header->idFrom == kTreeViewId && m_editor)
        if (const auto handled = m_editor->OnNotify(*header)) return *handled;
      break;
    }
    case WM_CLOSE:
      // Closing only hides: the program keeps running in the tray.
      Show(SW_HIDE);
      return 0;
    case WM_COMMAND:
      if (OnCommand(LOWORD(wp))) return 0;
      break;
    case WM_INITMENUPOPUP:
      OnInitMenuPopup(reinterpret_cast<HMENU>(wp));
      return 0;
    // A field that takes keys itself keeps hot keys away meanwhile.
    case ProgramMessage::kSuspendKeyboardHook:
    case ProgramMessage::kResumeKeyboardHook: {
      const bool install = msg == ProgramMessage::kResumeKeyboardHook;
      if (m_dispatch) m_dispatch->SuspendHotKeys(!install);
      if (m_keyboardHook) m_keyboardHook(install);
      return 0;
    }
    case ProgramMessage::kPageSettingsChanged:
      SetApplyReason(ApplyReason::Pages, true);
      return 0;
    case ProgramMessage::kTrayNotify:
      OnTrayNotify(lp);
      return 0;
    case ProgramMessage::kFlashTray:
      if (m_trayPicture) m_trayPicture->Flash();
      return 0;
    case WM_WTSSESSION_CHANGE:
      if (m_sessions) m_sessions->OnSessionChange(wp);
      return 0;
    case WM_DESTROY:
      m_editor.reset();
      m_pages.reset();
      m_osdSettingsPage.reset();
      m_optionsPage.reset();
      m_serverPage.reset();
      m_dispatch.reset();  // runs end while the window they report to exists
      m_sessions.reset();
      m_trayPicture.reset();
      KillTimer(Handle(), kStatusTimer);
      KillTimer(Handle(), kTrayTipTimer);
      m_tray.Remove();
      PostQuitMessage(0);
      return 0;
  }
  return CWindow::OnMessage(msg, wp, lp);
}

}  // namespace vexa::shell
