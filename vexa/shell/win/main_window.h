#pragma once
// The main window: the configuration window and owner of the tray icon. It takes
// the plug-ins' messages (0x7FFF codes 0 to 4 and 99 to 104), shows the
// status line, and hosts the pages: the command tree, the device page and the
// device selection page.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vexa/presets/win/preset_ui.h"
#include "vexa/shell/win/command_dispatch.h"
#include "vexa/winlib/notify_icon.h"
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

namespace vexa::shell {

class CAppFolderPage;
class CCommandTreeEditor;

inline constexpr const wchar_t* kMainWindowClass = L"VexaMainWindow";
inline constexpr const wchar_t* kMainWindowTitle = L"Vexa";

// A command start as the dispatch asked for it (names in UTF-8).
struct CommandStart {
  std::string remote;
  std::string command;
  int repeat = 0;
};

class CMainWindow : public win::CWindow {
 public:
  static constexpr UINT kTrayIconId = 1;
  static constexpr UINT kTreeViewId = 100;
  static constexpr UINT kTabsId = 101;
  static constexpr UINT kStatusBarId = 102;
  static constexpr UINT_PTR kStatusTimer = 1;
  static constexpr UINT_PTR kTrayTipTimer = 3;
  static constexpr UINT kTemporaryStatusMs = 3000;
  enum MenuCommand : UINT {
    kCmdOpen = 1001,
    kCmdExit = 1002,
    kCmdSave = 1003,
    kCmdScanApplications = 1004,
    // The on-screen display and presets, reached from the tray menu until the
    // configuration window has menus of its own.
    kCmdOsdSettings = 1005,
    kCmdSavePreset = 1006,
    kCmdLoadPreset = 1007,
    kCmdPresetManager = 1008,
    kCmdImportPresetFirst = 1100,  // one per preset name, up to 100
  };
  enum class PageId { Commands = 0, HardwareSetup = 1, DeviceSelection = 2 };
  enum class TrayState { Idle, Ready };

  CMainWindow();
  ~CMainWindow() override;

  // Creates the window hidden and adds the tray icon. The icons must outlive the window.
  bool Create(HICON icon, HICON smallIcon);
  void ShowCommandTree(const CCmdTree& tree);
  // The tree commands run from and the user edits; it must outlive the window or be reset.
  void SetCommandTree(CCmdTree* tree);
  CCommandTreeEditor* TreeEditor() { return m_editor.get(); }
  CAppFolderPage* FolderPage() { return m_folderPage.get(); }
  CCommandDispatch* Dispatch() { return m_dispatch.get(); }
  // Shows the window and brings it forward, as the tray menu's "Open" does.
  void Open();
  // Leaves the program: unloads the device, removes the tray icon and ends the message loop.
  void Exit();

  bool HasTrayIcon() const { return m_tray.IsAdded(); }
  const win::CTreeView& TreeView() const { return m_tree; }

  // ---- Pages
  // Gives the window its device host: creates the device selection page and places
  // device pages below the tabs. The device must outlive the window or be detached.
  void AttachDevice(device::CDevice* device);
  void ShowPage(PageId page);
  PageId CurrentPage() const { return m_page; }
  // Call after the device page was created or destroyed (a new selection).
  void RefreshDevicePage();
  device::CDeviceSelectionPage* SelectionPage() { return m_selectionPage.get(); }

  // ---- Dispatch
  // The one operation that starts a command (after the repeat rules). It shows the start
  // in the status line, tells the observer and calls the starter set below (by default
  // the execution engine).
  void StartCommand(const std::string& remote, const std::string& command, int repeat);
  using CommandStarter = std::function<void(const CommandStart&)>;
  void SetCommandStarter(CommandStarter starter) { m_starter = std::move(starter); }
  // Told of every start before it runs.
  void SetStartObserver(CommandStarter observer) { m_startObserver = std::move(observer); }

  // ---- State shown to the user
  std::wstring StatusText() const { return m_statusShown; }
  TrayState Tray() const { return m_trayState; }
  bool IsDeviceReady() const { return !m_deviceNotReady; }
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
  void SetPresetUi(presets::win::PresetUi ui) { m_presets = std::move(ui); }
  const presets::win::PresetUi& PresetUi() const { return m_presets; }
  // The tray menu's commands, as a person chooses them (tests and tools too).
  bool RunMenuCommand(UINT id) { return OnCommand(id); }

  // Replaces the Yes/No/Cancel message box of leaving (tests answer it).
  void SetAskHandler(std::function<int(const std::wstring&)> ask) { m_ask = std::move(ask); }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void LayOut();
  RECT PageArea() const;
  void OnTreeSelection(CCmdItem* item);
  void OnTrayNotify(LPARAM event);
  void ShowTrayMenu();
  void OpenOsdSettings();
  bool OnCommand(UINT id);
  LRESULT OnVexaMessage(WPARAM code, LPARAM lp);
  void SetPermanentStatus(const std::wstring& text);
  void ShowTemporaryStatus(const std::wstring& text);
  void ShowStatus(const std::wstring& text);
  void UpdateTrayTip();
  HWND DevicePage() const;
  CCommandDispatch::Starter starter();

  win::CTreeView m_tree;
  win::CNotifyIcon m_tray;
  HWND m_tabs = nullptr;
  HWND m_statusBar = nullptr;
  PageId m_page = PageId::Commands;
  device::CDevice* m_device = nullptr;
  std::unique_ptr<device::CDeviceSelectionPage> m_selectionPage;

  std::wstring m_statusShown;
  std::wstring m_statusPermanent;
  TrayState m_trayState = TrayState::Idle;
  bool m_deviceNotReady = false;
  unsigned m_applyReasons = 0;
  CommandStarter m_starter;
  CommandStarter m_startObserver;
  std::unique_ptr<CCommandDispatch> m_dispatch;
  std::unique_ptr<CCommandTreeEditor> m_editor;
  std::unique_ptr<CAppFolderPage> m_folderPage;
  std::function<bool()> m_save;
  std::function<int(const std::wstring&)> m_ask;
  presets::win::PresetUi m_presets;
  std::vector<std::string> m_importNames;  // the names the last tray menu offered
};

}  // namespace vexa::shell
