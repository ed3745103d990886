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
#include "vexa/shell/win/help_about.h"
#include "vexa/shell/win/startup_macro.h"
#include "vexa/shell/tray_icon_state.h"
#include "vexa/winlib/shell_folders.h"
#include "vexa/winlib/menu.h"
#include "vexa/winlib/system_code_page.h"
#include "vexa/winlib/unicode.h"
#include "vexa/base/program_messages.h"

namespace vexa::shell {

namespace {

// A run's status text: new[] UTF-8 (or null), ours to free.
std::wstring takeRunText(LPARAM lp) {
  const std::unique_ptr<char[]> text(reinterpret_cast<char*>(lp));
  return text ? win::toWide(text.get()) : std::wstring();
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
  m_frame = std::make_unique<CPageFrame>(Handle(), [this] { return CurrentPages(); });
  m_frame->Create({{L"Hide", kCmdHide}, {L"Apply", kCmdSave}, {L"&Help", kHelpButtonId}, {L"Exit", kCmdExit}});
  m_status = std::make_unique<CStatusLine>(Handle(), m_tray, kMainWindowTitle);
  m_status->Create(kStatusBarId);
  m_frame->SetStatusBar(m_status->Handle());
  UpdateApplyButton();
  CreateOptionPages();
  m_frame->PagesChanged();
  // No tray (no shell running) is not fatal: the window still works.
  const HICON idle = m_trayIcons.Load(GetModuleHandleW(nullptr)) ? m_trayIcons.idle.Get() : smallIcon;
  m_tray.Add(Handle(), kTrayIconId, ProgramMessage::kTrayNotify, idle, kMainWindowTitle);
  if (m_trayIcons.idle.Get()) m_trayPicture = std::make_unique<CTrayState>(m_tray, m_trayIcons, Handle(), kFlashTimer);
  m_dispatch = std::make_unique<CCommandDispatch>(Handle(), DispatchSettings::fromRegistry(),
                                                  [this](const std::wstring& text) { ShowTemporaryStatus(text); });
  m_deviceStatus = std::make_unique<CDeviceStatus>(*m_status, m_trayPicture.get(), [this](bool ready) {
    if (m_dispatch) m_dispatch->SetDeviceReady(ready);
  });
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
  if (m_frame) m_frame->PagesChanged();  // the tabs of "General Config" change
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
  hooks.prompt = &m_pagePrompt;
  hooks.modified = [this] { SetApplyReason(ApplyReason::CommandTree, true); };
  hooks.selectionChanged = [this](CCmdItem* item) { OnTreeSelection(item); };
  hooks.test = [this, tree](const CCmdItem& item) {
    const CCmdItem* remote = &item.remote();
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
      if (!located) Ask(win::toWide(kLocateCancelled), MB_OK | MB_ICONINFORMATION);
      return located;
    };
    return resolvePlaceholderInteractively(placeholder, locations, exec::registryReader(), exists, ask);
  };
  m_editor = std::make_unique<CCommandTreeEditor>(m_tree, *tree, std::move(hooks));
  // The pages beside the tree.
  CommandPagesHooks pageHooks;
  pageHooks.folder.prompt = &m_pagePrompt;
  pageHooks.command.prompt = &m_pagePrompt;
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
  pageHooks.command.services = [this]() -> exec::CActionServices* {
    return m_dispatch ? &m_dispatch->Engine().Services() : nullptr;
  };
  m_pages = std::make_unique<CCommandPages>(*tree, std::move(pageHooks));
  m_pages->Create(Handle(), m_frame ? m_frame->PageArea() : RECT{});
  m_editor->Refresh();
  if (m_frame) m_frame->LayOut();
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
  if (const HWND apply = m_frame ? m_frame->Button(kCmdSave) : nullptr) EnableWindow(apply, IsApplyEnabled());
}

bool CMainWindow::SaveAll() {
  if (!UpdateSettingsFromPages()) return false;
  // While it saves, a visible window says so; then the text it showed comes back.
  struct SavingStatus {
    CStatusLine* status;
    std::wstring before;
    ~SavingStatus() {
      if (status) status->PutBack(before);
    }
  } saving{IsVisible() ? m_status.get() : nullptr, {}};
  if (saving.status) saving.before = saving.status->ShowMeanwhile(L"Saving configuration...");
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

int CMainWindow::Ask(const std::wstring& text, UINT type) {
  return Prompt().Ask(Handle(), text, kMainWindowTitle, type);
}

void CMainWindow::Open() {
  Show(IsIconic(Handle()) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(Handle());
}

void CMainWindow::Exit() {
  // Already left, or leaving: a second "Exit" while a question is open or the
  // shut-down steps run would ask again inside the first.
  if (!IsCreated() || m_exiting) return;
  m_exiting = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{m_exiting};
  // The engine itself stops only at shut-down: a declined quit leaves every command working.
  if (m_dispatch && m_dispatch->Engine().Busy()) {
    if (Ask(kQuitQuestion, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    m_dispatch->Engine().StopRuns();
  }
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
  return m_commands && m_dispatch ? runStartupMacro(*m_commands, m_dispatch->Engine(), Handle()) : 0;
}

// ---- Pages ----------------------------------------------------------------------------

FramePages CMainWindow::CurrentPages() {
  FramePages pages;
  pages.tree = m_tree.Handle();
  pages.commands = m_pages.get();
  pages.deviceSelection = m_selectionPage ? m_selectionPage->Handle() : nullptr;
  pages.generalOptions = m_optionsPage ? m_optionsPage->Handle() : nullptr;
  pages.server = m_serverPage ? m_serverPage->Handle() : nullptr;
  pages.osd = m_osdPage;
  pages.device = m_device;
  return pages;
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
  m_selectionPage->Create(Handle(), m_frame ? m_frame->PageArea() : RECT{});
  if (m_frame) m_frame->PagesChanged();
}

void CMainWindow::RefreshDevicePage() {
  if (m_selectionPage && m_selectionPage->Handle()) m_selectionPage->Refresh();
  if (m_frame) m_frame->PagesChanged();
}

void CMainWindow::ShowPage(PageId page) {
  if (m_frame) m_frame->ShowPage(page);
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

void CMainWindow::ShowTemporaryStatus(const std::wstring& text) {
  if (m_status) m_status->ShowTemporary(text);
}

void CMainWindow::SetDeviceState(bool ready, const std::wstring& text) {
  if (m_deviceStatus) m_deviceStatus->SetDeviceState(ready, text);
}

LRESULT CMainWindow::OnVexaMessage(WPARAM code, LPARAM lp) {
  namespace MainCode = abi::MainCode;
  if (code == MainCode::kCommand) {
    auto* record = reinterpret_cast<abi::CommandRecord*>(lp);
    if (!record) return 1;
    // Records of a device that is not ready are dropped by the repeat rules.
    if (m_dispatch)
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
    case ProgramMessage::kRunStatus:
      ShowTemporaryStatus(takeRunText(lp));
      return 1;
  }
  // Codes 99 and above: the device's state and texts.
  return m_deviceStatus && m_deviceStatus->OnCode(static_cast<unsigned>(code), lp) ? 1 : 0;
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
  SetDeviceMenuItem(menu);
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

void CMainWindow::SetDeviceMenuItem(HMENU menu) {
  const DeviceMenuItem item = deviceMenuItem(m_device && m_device->Current(), m_device && m_device->IsRunning());
  ModifyMenuW(menu, ID_TRAY_DEACTIVATE, MF_BYCOMMAND | MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED),
              item.activates ? ID_TRAY_ACTIVATE : ID_TRAY_DEACTIVATE, item.text);
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
    case ID_TRAY_ACTIVATE:
      if (m_device && m_device->Current() && !m_device->IsRunning()) m_device->StartSession(true);
      return true;
    case ID_VIEW_GENERAL:
      Open();
      ShowPage(PageId::DeviceSelection);
      return true;
    case ID_VIEW_HARDWARE:
      Open();
      ShowPage(PageId::HardwareSetup);
      return true;
    case ID_VIEW_ACTIONS:
      Open();
      ShowPage(PageId::Commands);
      return true;
    case ID_FILE_SAVE_PRESET: return run(m_menuHooks.savePreset);
    case ID_FILE_IMPORT_PRESET: return run(m_menuHooks.importPreset);
    case ID_PREFS_PRESET_MANAGER: return run(m_menuHooks.presetManager);
    case kHelpButtonId:
    case ID_HELP_CONTENTS:
      openHelp(Handle(), win::programFolder(), Prompt());
      return true;
    case ID_HELP_ABOUT:
      showAbout(Handle(), Prompt());
      return true;
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
    Ask(L"Could not write to registry", MB_OK | MB_ICONERROR);
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
      if (m_frame) m_frame->LayOut();
      return 0;
    case WM_TIMER:
      if (m_trayPicture && m_trayPicture->OnTimer(wp)) return 0;
      if (m_sessions && m_sessions->OnTimer(wp)) return 0;
      if (m_status && m_status->OnTimer(wp)) return 0;
      if (m_dispatch && m_dispatch->OnTimer(wp, starter())) return 0;
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<NMHDR*>(lp);
      if (m_frame)
        if (const auto handled = m_frame->OnNotify(*header)) return *handled;
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
      m_osdPage = nullptr;
      m_optionsPage.reset();
      m_serverPage.reset();
      m_dispatch.reset();  // runs end while the window they report to exists
      m_sessions.reset();
      m_deviceStatus.reset();
      m_trayPicture.reset();
      m_status.reset();
      m_tray.Remove();
      PostQuitMessage(0);
      return 0;
  }
  return CWindow::OnMessage(msg, wp, lp);
}

}  // namespace vexa::shell
