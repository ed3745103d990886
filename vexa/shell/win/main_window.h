#pragma once
// The main window: the configuration window and owner of the tray icon. It
// routes messages: the plug-ins' (0x7FFF codes 0 to 4 to the dispatch, 99 to
// 104 to the device status), the runs' (to the dispatch), menus and buttons.
// Its pages sit in a frame of three groups: "General Config" (device
// selection, general options, TCP/IP server, on-screen display), "Hardware
// Setup" (the device page) and "Actions" (the command tree).
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vexa/base/program_settings.h"
#include "vexa/presets/win/preset_ui.h"
#include "vexa/shell/win/command_dispatch.h"
#include "vexa/shell/win/device_status.h"
#include "vexa/shell/win/page_frame.h"
#include "vexa/shell/win/session_watch.h"
#include "vexa/shell/win/status_line.h"
#include "vexa/shell/win/tray_state.h"
#include "vexa/shell/win/window_titles.h"
#include "vexa/winlib/gdi.h"
#include "vexa/winlib/notify_icon.h"
#include "vexa/winlib/prompt.h"
#include "vexa/winlib/tree_view.h"
#include "vexa/winlib/window.h"

namespace vexa {
class CCmdItem;
class CCmdTree;
namespace device {
class CDevice;
class CDeviceSelectionPage;
}  // namespace device
}  // namespace vexa

namespace vexa::osd::win {
class COsdSettingsPage;
}

namespace vexa::shell {

class CAppFolderPage;
class CCommandPages;
class CCommandTreeEditor;
class COptionPage;


// A command start as the dispatch asked for it (names in UTF-8).
struct CommandStart {
  std::string remote;
  std::string command;
  int repeat = 0;
  bool special = false;  // a hot key the hook module marked special
};

class CMainWindow : public win::CWindow {
 public:
  static constexpr UINT kTrayIconId = 1;
  static constexpr UINT kTreeViewId = 100;
  static constexpr UINT kTabsId = CPageFrame::kTabsId;
  static constexpr UINT kStatusBarId = 102;
  static constexpr UINT kGroupListId = CPageFrame::kGroupListId;
  static constexpr UINT kHelpButtonId = 104;  // IDHELP would close a dialog; this is a window
  static constexpr UINT_PTR kFlashTimer = 1;    // the busy tray icon's moment
  static constexpr UINT_PTR kSessionTimer = 5;  // the wait after a console connect
  // Menu and button commands (the resource script has the same numbers); a page is
  // shown by kCmdShowPage + its PageId.
  enum MenuCommand : UINT {
    kCmdOpen = 1001, kCmdExit = 1002, kCmdSave = 1152, kCmdHide = 1151, kCmdScanApplications = 1103,
    kCmdSavePreset = 1101, kCmdLoadPreset = 1102, kCmdPresetManager = 1121, kCmdOsdSettings = 1123,
    kCmdShowPage = 1160
  };
  using PageId = shell::PageId;
  using PageGroup = shell::PageGroup;
  using TrayState = CDeviceStatus::TrayState;

  CMainWindow();
  ~CMainWindow() override;

  // Creates the window hidden and adds the tray icon. The icons must outlive the window.
  bool Create(HICON icon, HICON smallIcon);
  void ShowCommandTree(const CCmdTree& tree);
  // The tree commands run from and the user edits; it must outlive the window or be reset.
  void SetCommandTree(CCmdTree* tree);
  CCommandTreeEditor* TreeEditor() { return m_editor.get(); }
  // ---- The pages beside the tree (command editor, folder page, hints).
  CCommandPages* Pages() { return m_pages.get(); }
  CAppFolderPage* FolderPage();
  // 0x469 (false) and 0x46A (true) reach the hook module through this.
  void SetKeyboardHookHandler(std::function<void(bool install)> handler) { m_keyboardHook = std::move(handler); }
  // The hook module asks for its keyboard hook handle (code 97); and menu commands the window does not know.
  void SetKeyboardHookHandle(std::function<uintptr_t()> handle) { m_keyboardHookHandle = std::move(handle); }
  void SetExtraCommands(std::function<bool(UINT)> handler) { m_extraCommands = std::move(handler); }
  CCommandDispatch* Dispatch() { return m_dispatch.get(); }
  // Shows the window and brings it forward, as the tray menu's "Open" does.
  void Open();
  // The user's quit: asks what the settings say to ask, then shuts down in order.
  void Exit();
  // Shut-down in order, asking nothing: the server, the device, session
  // notifications and the runs stop; then the window goes and the message loop ends.
  void ShutDown();
  // All of ShutDown but the window's end: what runs before a remote shutdown ends the session.
  void StopProgram();
  // Steps of shut-down that belong to the program object, in their place in the order.
  struct ShutdownHooks {
    std::function<void()> stopServer, endSessionNotifications, atProgramEnd;
  };
  void SetShutdownHooks(ShutdownHooks hooks) { m_shutdownHooks = std::move(hooks); }
  // Starts every command of the remote "Startup Macro", in order, each on a thread of its own.
  int RunStartupMacro();

  bool HasTrayIcon() const { return m_tray.IsAdded(); }
  // The picture in the tray: idle, ready, or busy while a command starts.
  TrayIcon TrayPicture() const { return m_trayPicture ? m_trayPicture->Shown() : TrayIcon::Idle; }

  // ---- Session changes: registers for them now and unregisters at shut-down.
  // False when Windows offers no notifications (the program runs on without).
  bool WatchSessions(SessionHooks hooks);
  CSessionWatch* Sessions() { return m_sessions.get(); }
  const win::CTreeView& TreeView() const { return m_tree; }

  // ---- Pages
  // Gives the window its device host: creates the device selection page and places
  // device pages below the tabs. The device must outlive the window or be detached.
  void AttachDevice(device::CDevice* device);
  void ShowPage(PageId page);
  PageId CurrentPage() const { return m_frame ? m_frame->Current() : PageId::Commands; }
  PageGroup CurrentGroup() const { return m_frame ? m_frame->CurrentGroup() : PageGroup::Actions; }
  // The on-screen display's settings page, a child of this window (or null).
  void AttachOsdPage(HWND page);

  // ---- The program's own settings, shown on the option pages
  void SetProgramSettings(const ProgramSettings& settings);
  const ProgramSettings& Settings() const { return m_settings; }
  // Takes the option pages' values; false (after showing that page and telling
  // the user) when a field cannot be saved.
  bool UpdateSettingsFromPages();
  // Told when settings taken from the pages differ from what was shown.
  void SetSettingsHandler(std::function<void(const ProgramSettings&)> changed) { m_settingsChanged = std::move(changed); }
  // What the menus offer beyond the window itself (presets); unset ones are greyed.
  struct MenuHooks {
    std::function<void()> savePreset, importPreset, presetManager;
    std::function<std::vector<std::wstring>()> presetNames;
    std::function<void(const std::wstring&)> loadPreset;
  };
  void SetMenuHooks(MenuHooks hooks) { m_menuHooks = std::move(hooks); }
  // Call after the device page was created or destroyed (a new selection).
  void RefreshDevicePage();
  device::CDeviceSelectionPage* SelectionPage() { return m_selectionPage.get(); }

  // ---- Dispatch
  // The one operation that starts a command (after the repeat rules). It shows the start
  // in the status line, tells the observer and calls the starter set below (by default
  // the execution engine).
  void StartCommand(const std::string& remote, const std::string& command, int repeat, bool special = false);
  using CommandStarter = std::function<void(const CommandStart&)>;
  void SetCommandStarter(CommandStarter starter) { m_starter = std::move(starter); }
  // Told of every start before it runs.
  void SetStartObserver(CommandStarter observer) { m_startObserver = std::move(observer); }

  // ---- State shown to the user
  std::wstring StatusText() const { return m_status ? m_status->Shown() : std::wstring(); }
  // The tip as the tray shows it once pending updates are made.
  std::wstring TrayTip() const { return m_status ? m_status->TrayTip() : std::wstring(); }
  TrayState Tray() const { return m_deviceStatus ? m_deviceStatus->Tray() : TrayState::Idle; }
  // Whether presses are taken: the device reported ready (101) and not stopped since (102, 104).
  bool IsDeviceReady() const { return m_dispatch && m_dispatch->IsDeviceReady(); }
  // The device became ready or stopped: status line, tray icon and presses follow.
  void SetDeviceState(bool ready, const std::wstring& text);
  // "Apply" has three reasons, each withdrawn on its own: the program's pages,
  // the plug-in's own settings (codes 1 and 2) and the command tree.
  enum class ApplyReason : unsigned { Pages = 1, PlugIn = 2, CommandTree = 4 };
  bool IsApplyEnabled() const { return m_applyReasons != 0; }
  bool HasApplyReason(ApplyReason reason) const { return (m_applyReasons & static_cast<unsigned>(reason)) != 0; }
  void SetApplyReason(ApplyReason reason, bool set);
  // Saves all settings; false (after telling the user) keeps the program open and
  // every reason for Apply.
  void SetSaveHandler(std::function<bool()> save) { m_save = std::move(save); }
  // Save all: the handler, then no reason for Apply is left. False when it failed.
  bool SaveAll();
  // A status text that gives way to the permanent one after a while.
  void ShowStatusText(const std::wstring& text) { ShowTemporaryStatus(text); }

  // ---- On-screen display and presets
  // What the preset windows need of the program; set once the program's parts exist.
  void SetPresetUi(presets::win::PresetUi ui);
  const presets::win::PresetUi& PresetUi() const { return m_presets; }
  // The menus' commands, as a person chooses them (tests and tools too).
  bool RunMenuCommand(UINT id) { return OnCommand(id); }

  // Where the window's questions and messages go (message boxes unless set;
  // tests answer them). The prompt must outlive the window or be replaced.
  void SetPrompt(win::IPrompt* prompt) { m_prompt = prompt; }
  win::IPrompt& Prompt() const { return m_prompt ? *m_prompt : win::MessageBoxes(); }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  FramePages CurrentPages();
  void CreateOptionPages();
  void CreateOsdPage();
  void UpdateApplyButton();
  void FillPresetMenu(HMENU presets);
  // A message box of this window; `type` has the buttons and the icon.
  int Ask(const std::wstring& text, UINT type);
  void OnTreeSelection(CCmdItem* item);
  void OnTrayNotify(LPARAM event);
  void ShowTrayMenu();
  // The tray menu's "&Deactivate", or "&Activate" while the selected device is stopped.
  void SetDeviceMenuItem(HMENU menu);
  void OpenOsdSettings();
  bool OnCommand(UINT id);
  void OnInitMenuPopup(HMENU menu);
  LRESULT OnVexaMessage(WPARAM code, LPARAM lp);
  void ShowTemporaryStatus(const std::wstring& text);
  CCommandDispatch::Starter starter();

  win::CTreeView m_tree;
  win::CNotifyIcon m_tray;
  TrayIcons m_trayIcons;
  std::unique_ptr<CTrayState> m_trayPicture;
  std::unique_ptr<CSessionWatch> m_sessions;
  std::unique_ptr<CStatusLine> m_status;
  std::unique_ptr<CDeviceStatus> m_deviceStatus;
  std::unique_ptr<CPageFrame> m_frame;
  std::unique_ptr<COptionPage> m_optionsPage;
  std::unique_ptr<COptionPage> m_serverPage;
  HWND m_osdPage = nullptr;
  std::unique_ptr<osd::win::COsdSettingsPage> m_osdSettingsPage;
  ProgramSettings m_settings;
  std::function<void(const ProgramSettings&)> m_settingsChanged;
  MenuHooks m_menuHooks;
  ShutdownHooks m_shutdownHooks;
  CCmdTree* m_commands = nullptr;
  std::vector<std::wstring> m_presetItems;
  device::CDevice* m_device = nullptr;
  std::unique_ptr<device::CDeviceSelectionPage> m_selectionPage;

  unsigned m_applyReasons = 0;
  bool m_exiting = false;
  CommandStarter m_starter;
  CommandStarter m_startObserver;
  std::unique_ptr<CCommandDispatch> m_dispatch;
  std::unique_ptr<CCommandTreeEditor> m_editor;
  std::unique_ptr<CCommandPages> m_pages;
  std::function<void(bool install)> m_keyboardHook;
  std::function<uintptr_t()> m_keyboardHookHandle;
  std::function<bool(UINT)> m_extraCommands;
  std::function<bool()> m_save;
  win::IPrompt* m_prompt = nullptr;
  // What the pages are given: asks whichever prompt the window has when they ask.
  win::CPromptFunction m_pagePrompt{[this](const std::wstring& text, const std::wstring& title, UINT type) {
    return Prompt().Ask(Handle(), text, title, type);
  }};
  presets::win::PresetUi m_presets;
};

}  // namespace vexa::shell
