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
#include "vexa/codec/ini_file.h"
#include "vexa/osd/osd_modes.h"
#include "vexa/osd/win/osd.h"
#include "vexa/osd/win/osd_settings_dialog.h"
#include "vexa/osd/win/osd_settings_store.h"
#include "vexa/presets/win/export_wizard.h"
#include "vexa/presets/win/preset_load.h"
#include "vexa/presets/win/preset_manager.h"
#include "vexa/shell/win/app_folder_page.h"
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
  if (!CWindow::Create(kMainWindowClass, kMainWindowTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                       {CW_USEDEFAULT, CW_USEDEFAULT, 720, 520})) {
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
  const wchar_t* titles[] = {L"Commands", L"Hardware Setup", L"Device Selection"};
  for (int i = 0; i < 3; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(titles[i]);
    SendMessageW(m_tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  m_statusBar = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, Handle(),
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kStatusBarId)),
                                GetModuleHandleW(nullptr), nullptr);
  LayOut();
  // No tray (no shell running) is not fatal: the window still works.
  m_tray.Add(Handle(), kTrayIconId, ProgramMessage::kTrayNotify, smallIcon, kMainWindowTitle);
  m_dispatch = std::make_unique<CCommandDispatch>(Handle(), DispatchSettings::fromRegistry(),
                                                  [this](const std::wstring& text) { ShowTemporaryStatus(text); });
  return true;
}

void CMainWindow::ShowCommandTree(const CCmdTree& tree) { fillCommandTree(m_tree, tree); }

void CMainWindow::SetCommandTree(CCmdTree* tree) {
  if (m_dispatch) m_dispatch->SetTree(tree);
  m_folderPage.reset();
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
  AppFolderPageHooks pageHooks;
  pageHooks.iconChanged = [this](const CCmdItem& folder) {
    if (m_editor) m_editor->RefreshIcon(folder);
  };
  pageHooks.commandNames = [this](const std::string& remote) {
    std::vector<std::string> names;
    if (m_device)
      for (const std::string& name : m_device->CommandNames(win::wideToAnsi(win::toWide(remote))))
        names.push_back(win::toUtf8(win::ansiToWide(name)));
    return names;
  };
  m_folderPage = std::make_unique<CAppFolderPage>(*tree, std::move(pageHooks));
  m_folderPage->Create(Handle(), PageArea());
  m_editor->Refresh();
  LayOut();
}

void CMainWindow::OnTreeSelection(CCmdItem* item) {
  if (!m_folderPage || !m_folderPage->Handle()) return;
  const bool folder = item && item->kind() == ItemKind::Folder;
  m_folderPage->ShowFolder(folder ? item : nullptr);
  ShowWindow(m_folderPage->Handle(), folder && m_page == PageId::Commands ? SW_SHOW : SW_HIDE);
}

void CMainWindow::SetApplyReason(ApplyReason reason, bool set) {
  const auto bit = static_cast<unsigned>(reason);
  m_applyReasons = set ? (m_applyReasons | bit) : (m_applyReasons & ~bit);
}

bool CMainWindow::SaveAll() {
  if (!m_save || !m_save()) return false;
  m_applyReasons = 0;
  return true;
}

void CMainWindow::Open() {
  Show(IsIconic(Handle()) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(Handle());
}

void CMainWindow::Exit() {
  if (m_dispatch && !m_dispatch->StopRunsForExit(Handle())) return;
  if (IsApplyEnabled() && m_save) {
    const int answer = m_ask ? m_ask(L"Save changes?")
                             : MessageBoxW(Handle(), L"Save changes?", kMainWindowTitle, MB_YESNOCANCEL | MB_ICONQUESTION);
    switch (answer) {
      case IDCANCEL:
        return;
      case IDYES:
        if (!SaveAll()) return;  // the handler said why; nothing is lost by staying
        break;
      default:
        break;
    }
  }
  // The device's threads send to this window: stop them while it still exists.
  if (m_device) m_device->UnloadPlugin();
  Destroy();
}

// ---- Pages ----------------------------------------------------------------------------

RECT CMainWindow::PageArea() const {
  RECT client{};
  GetClientRect(Handle(), &client);
  RECT status{};
  if (m_statusBar) GetWindowRect(m_statusBar, &status);
  client.bottom -= status.bottom - status.top;
  RECT tabs = client;
  if (m_tabs) {
    RECT display = client;
    SendMessageW(m_tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    tabs.top = display.top;
  }
  if (tabs.bottom < tabs.top) tabs.bottom = tabs.top;
  return tabs;
}

void CMainWindow::LayOut() {
  RECT client{};
  GetClientRect(Handle(), &client);
  if (m_statusBar) SendMessageW(m_statusBar, WM_SIZE, 0, 0);
  RECT status{};
  if (m_statusBar) GetWindowRect(m_statusBar, &status);
  if (m_tabs) MoveWindow(m_tabs, 0, 0, client.right, client.bottom - (status.bottom - status.top), TRUE);
  const RECT area = PageArea();
  const int w = area.right - area.left, h = area.bottom - area.top;
  if (m_folderPage && m_folderPage->Handle()) {
    // The tree on the left, the page of the selected item beside it.
    const int treeWidth = std::max(160, w - 400);
    MoveWindow(m_tree.Handle(), area.left, area.top, treeWidth, h, TRUE);
    MoveWindow(m_folderPage->Handle(), area.left + treeWidth, area.top, w - treeWidth, h, TRUE);
  } else {
    MoveWindow(m_tree.Handle(), area.left, area.top, w, h, TRUE);
  }
  if (m_selectionPage && m_selectionPage->Handle()) MoveWindow(m_selectionPage->Handle(), area.left, area.top, w, h, TRUE);
  // Our own device page follows the area; a first-generation plug-in's dialog keeps its size.
  if (m_device && m_device->Page() && m_device->Page()->Handle())
    MoveWindow(m_device->Page()->Handle(), area.left, area.top, w, h, TRUE);
  if (m_device) m_device->SetPagePosition({area.left, area.top});
  if (m_tabs) SetWindowPos(m_tabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
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
  m_page = page;
  if (m_tabs) SendMessageW(m_tabs, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
  ShowWindow(m_tree.Handle(), page == PageId::Commands ? SW_SHOW : SW_HIDE);
  if (m_folderPage && m_folderPage->Handle())
    ShowWindow(m_folderPage->Handle(), page == PageId::Commands && m_folderPage->Folder() ? SW_SHOW : SW_HIDE);
  if (const HWND devicePage = DevicePage()) {
    ShowWindow(devicePage, page == PageId::HardwareSetup ? SW_SHOW : SW_HIDE);
    if (page == PageId::HardwareSetup) SetWindowPos(devicePage, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  if (m_selectionPage && m_selectionPage->Handle())
    ShowWindow(m_selectionPage->Handle(), page == PageId::DeviceSelection ? SW_SHOW : SW_HIDE);
}

// ---- Dispatch -------------------------------------------------------------------------------

void CMainWindow::StartCommand(const std::string& remote, const std::string& command, int repeat) {
  CommandStart start{remote, command, repeat};
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
  if (m_statusBar) SendMessageW(m_statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
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
  if (code == ProgramMessage::kHotKeyEvent) return m_dispatch ? m_dispatch->OnHookKey(lp, starter()) : 0;
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
      SetPermanentStatus(takeText(lp, L"Ready"));
      break;
    case MainCode::kDeviceNotInitialised:
      m_deviceNotReady = true;
      m_trayState = TrayState::Idle;
      SetPermanentStatus(takeText(lp, L"Device not initialized"));
      break;
    case MainCode::kInitialising:
      SetPermanentStatus(takeText(lp, L"Initializing plugin..."));
      break;
    case MainCode::kDeviceDeactivated:
      m_deviceNotReady = true;
      m_trayState = TrayState::Idle;
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
  win::CMenu menu;
  if (!menu.CreatePopup()) return;
  menu.AppendItem(kCmdOpen, L"&Open");
  menu.AppendItem(kCmdSave, L"&Save");
  menu.AppendItem(kCmdScanApplications, L"Scan &applications");
  menu.AppendSeparator();
  menu.AppendItem(kCmdOsdSettings, L"On-screen &display...");
  menu.AppendItem(kCmdSavePreset, L"&Save as preset");
  menu.AppendItem(kCmdLoadPreset, L"&Load preset...");
  win::CMenu imports;
  if (imports.CreatePopup()) {
    m_importNames = presets::win::presetMenuNames(m_presets.programFolder);
    for (size_t i = 0; i < m_importNames.size(); ++i)
      imports.AppendItem(kCmdImportPresetFirst + static_cast<UINT>(i), win::toWide(m_importNames[i]).c_str());
    menu.AppendSubmenu(std::move(imports), L"&Import preset");
  }
  menu.AppendItem(kCmdPresetManager, L"Preset &Manager");
  menu.AppendSeparator();
  menu.AppendItem(kCmdExit, L"E&xit");
  menu.SetDefaultItem(kCmdOpen);
  POINT at{};
  GetCursorPos(&at);
  if (const UINT chosen = menu.Track(Handle(), at)) OnCommand(chosen);
}

bool CMainWindow::OnCommand(UINT id) {
  switch (id) {
    case kCmdOpen:
      Open();
      return true;
    case kCmdExit:
      Exit();
      return true;
    case kCmdSave:
      SaveAll();
      return true;
    case kCmdOsdSettings:
      OpenOsdSettings();
      return true;
    case kCmdSavePreset:
      presets::win::runExportWizard(Handle(), m_presets);
      return true;
    case kCmdLoadPreset:
      presets::win::loadPresetInteractive(Handle(), m_presets);
      return true;
    case kCmdPresetManager:
      presets::win::runPresetManager(Handle(), m_presets);
      return true;
    case kCmdScanApplications:
      // Lets layouts from other machines find the applications installed here.
      ShowTemporaryStatus(exec::buildLocationsFile(win::programFolder()) ? L"Applications scanned"
                                                                          : L"Could not scan the applications");
      return true;
  }
  if (id >= kCmdImportPresetFirst && id < kCmdImportPresetFirst + m_importNames.size()) {
    presets::win::loadPresetByName(Handle(), m_presets, m_importNames[id - kCmdImportPresetFirst]);
    return true;
  }
  return false;
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
        ShowPage(static_cast<PageId>(SendMessageW(m_tabs, TCM_GETCURSEL, 0, 0)));
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
    case ProgramMessage::kPageSettingsChanged:
      SetApplyReason(ApplyReason::Pages, true);
      return 0;
    case ProgramMessage::kTrayNotify:
      OnTrayNotify(lp);
      return 0;
    case WM_DESTROY:
      m_editor.reset();
      m_folderPage.reset();
      m_dispatch.reset();  // runs end while the window they report to exists
      KillTimer(Handle(), kStatusTimer);
      KillTimer(Handle(), kTrayTipTimer);
      m_tray.Remove();
      PostQuitMessage(0);
      return 0;
  }
  return CWindow::OnMessage(msg, wp, lp);
}

}  // namespace vexa::shell
