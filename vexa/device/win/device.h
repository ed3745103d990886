#pragma once
// CDevice: the program's single device host. It scans the devices
// folder, loads the selected plug-in, keeps its settings and, for second-generation
// plug-ins, the code store; it runs the monitor thread and owns the device page.
// Everything except the monitor thread runs on the user-interface thread.
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/device/code_matcher.h"
#include "vexa/device/code_store.h"
#include "vexa/device/device_settings.h"
#include "vexa/device/plugin_list.h"
#include "vexa/device/win/plugin_adapter.h"
#include "vexa/device/win/reception.h"
#include "vexa/winlib/handle.h"
#include "vexa/winlib/module.h"
#include "vexa/winlib/prompt.h"
#include "vexa/winlib/sync.h"
#include "vexa/winlib/system_code_page.h"

namespace vexa::device {

class CDevicePage;

inline constexpr const wchar_t* kProgramRegistryKey = L"Software\\Marlix\\Vexa";

struct DeviceHostOptions {
  // The devices folder is "<programFolder>\devices"; legacy settings files live here too.
  std::filesystem::path programFolder;
  // The per-user application-data folder; settings go to "<appData>\Vexa".
  std::optional<std::filesystem::path> appDataFolder;
  // HKCU key of the program's settings; first-generation plug-ins get a subkey of it.
  std::wstring registryKey = kProgramRegistryKey;
  // Where the user's messages go: errors and questions titled "Vexa", and the
  // boxes of the device's own dialogs (the "Learn" window). Message boxes when null.
  win::IPrompt* prompt = nullptr;
  // System time in 100 ns units, for the pauses of matching and learning.
  std::function<uint64_t()> clock;
};

class CDevice : private IAdapterHost {
 public:
  explicit CDevice(DeviceHostOptions options);  // creates the events and scans
  ~CDevice();                                   // unloads the plug-in
  CDevice(const CDevice&) = delete;
  CDevice& operator=(const CDevice&) = delete;

  // ---- Plug-in list
  // Rebuilds the list; a module of that file name (case-insensitive) becomes current and stays loaded.
  void ScanPlugins(const std::wstring& moduleToKeep = {});
  const std::vector<PluginEntry>& Plugins() const { return m_plugins; }
  std::vector<std::string> AllDeviceNames() const { return allDeviceNames(m_plugins); }
  const PluginEntry* Current() const { return m_current ? &m_plugins[*m_current] : nullptr; }
  std::filesystem::path DevicesFolder() const { return m_options.programFolder / L"devices"; }

  // ---- Selection (names are UTF-8; the plug-in sees them in the system code page)
  // Makes the first plug-in (in scan order) listing deviceName current, loads its settings
  // and creates its page as a child of the notify window. An empty name reloads the current one.
  bool SelectDevice(const std::string& deviceName = {}, HWND notifyWindow = nullptr);
  void UnloadPlugin();         // stop, release, destroy the page, free the library; no current entry
  void UnloadKeepSelection();  // the same, keeping the current entry

  // ---- Sessions
  // Second generation: OnInit with the selectors' texts; 0 = ready.
  int InitializeDevice();
  // Starts receiving (stopping and releasing a running session first). With initialiseFirst a
  // failed initialisation returns false and shows the message of results 1 to 3.
  bool StartSession(bool initialiseFirst);
  // Ends the session: the monitor thread gets "VEXA_DEVMONITOR_TERMINATE" and at most 3000 ms
  // (messages are dispatched meanwhile), then it is terminated with exit code 0xFFFFFFFF.
  void StopSession();
  void ReleaseDevice();  // Release / OnRelease
  // Stop, release, initialise and start again (the page's Initialize button).
  bool RestartDevice();

  bool IsInitialized() const { return m_initialized; }
  bool IsRunning() const { return m_running; }
  bool HasMonitorThread() const { return m_adapter && m_adapter->HasMonitorThread(); }
  std::optional<DWORD> LastMonitorExitCode() const { return m_lastExitCode; }
  int LastInitResult() const { return m_lastInitResult; }

  // ---- Settings
  // Without a file: the registry (first generation) or the default ".vdp" file.
  bool LoadSettings(const std::filesystem::path& file = {});
  // `leading` (INI text) starts the file, before the plug-in's and the host's sections.
  bool SaveSettings(const std::filesystem::path& file = {}, std::string_view leading = {});
  // "<appData>\Vexa\<module stem>.vdp" (or the program folder's), empty without a current entry.
  std::filesystem::path DefaultSettingsFile() const;

  // ---- Pages
  // What the device page shows in its selectors; it writes them on every change.
  void SetSelectorChoice(int which, const std::string& caption, const std::string& text);
  // OnFillSelector into the list; the caption is UTF-8. False without the export.
  bool FillSelector(HWND list, int which, std::string& caption);
  // OnSetup with the record and the main window; nullopt without the export.
  std::optional<int> RunSetup(HWND mainWindow);
  void SetPagePosition(POINT position) { m_pagePosition = position; }
  HWND CreatePage(HWND parent);
  HWND PageHandle() const { return m_pageHandle; }
  CDevicePage* Page() { return m_page.get(); }

  // ---- Enumeration of remotes and commands (empty text at the end)
  std::string FirstRemote();
  std::string NextRemote();
  std::string FirstCommand(const std::string& remote);
  std::string NextCommand();
  // Every button name of a remote, as the two calls above give them.
  std::vector<std::string> CommandNames(const std::string& remote);

  void ShowAbout(HWND owner);
  std::wstring ModuleFileName() const;
  std::filesystem::path ModulePath() const;  // empty without a current entry
  std::string DeviceName() const;  // the DeviceRecord's name, empty without a current entry
  abi::DeviceRecord* Record();
  // Message 0x7FFF with the code and a heap copy of text (or 0) to the notify window, the
  // text converted from UTF-8 to the plug-ins' code page. The copy is freed here only when
  // the window returned 0 (or is no window).
  void SendStatus(unsigned code, std::optional<std::string_view> text = std::nullopt) override;
  HWND NotifyWindow() const override { return m_notify; }
  void SetNotifyWindow(HWND window) { m_notify = window; }

  // The code page of plug-in records and of the settings files; the store holds UTF-8.
  const ICodePage& PluginCodePage() const { return m_ansi; }
  CCodeStore& CodeStore() { return m_store; }
  // Matching, repeats and the learning hand-off of what the plug-in delivers.
  CReception& Reception() { return m_reception; }
  int TimingMode() const { return m_timingMode; }
  int Tolerance() const { return m_tolerance; }
  // The choice of selector 1 or 2 stored in the settings file ("" when none).
  std::string SavedSelectorChoice(int which, const std::string& caption) const;
  // The choice of selector 1 or 2 as the page shows it, or as saved without a page.
  std::string SelectorText(int which) const;
  // What selector 1 chooses ("COM Port" and the like; empty when the plug-in fills it).
  std::string SelectorDescription() const;

  const DeviceHostOptions& Options() const { return m_options; }
  void ShowError(const std::wstring& text) const;
  bool AskYesNo(const std::wstring& question) const;
  int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& title, UINT type) const;
  win::IPrompt& Prompt() const;
  uint64_t Now100ns() const;

 private:
  // IAdapterHost
  HWND MonitorTarget() const override;
  void CopyTiming() override;
  void SetInitialized(bool initialized) override { m_initialized = initialized; }
  void SetRunning(bool running) override { m_running = running; }

  bool LoadModule(PluginEntry& entry, win::CModule module);
  void DestroyPage();
  void Unload(bool keepSelection);
  std::wstring PluginRegistryKey() const;
  bool LoadOwnSettings(const std::filesystem::path& file);
  bool SaveOwnSettings(const std::filesystem::path& file, std::string_view leading);
  HostSettings HostSections();
  void SyncSelectors();

  DeviceHostOptions m_options;
  win::CSystemCodePage m_ansi;
  std::vector<PluginEntry> m_plugins;
  std::optional<size_t> m_current;
  std::unique_ptr<IPluginAdapter> m_adapter;  // the loaded library of the current entry
  HWND m_notify = nullptr;
  std::unique_ptr<CDevicePage> m_page;
  HWND m_pageHandle = nullptr;
  POINT m_pagePosition{0, 0};
  struct ShownSelector {
    std::string caption, text;
  };
  std::optional<ShownSelector> m_shown[2];  // while a page shows them

  std::atomic<bool> m_initialized{false};
  std::atomic<bool> m_running{false};
  bool m_stopping = false;
  win::CEvent m_terminateEvent;
  win::CEvent m_exitEvent;
  std::optional<DWORD> m_lastExitCode;
  int m_lastInitResult = 0;

  CCodeStore m_store;
  CReception m_reception;
  std::atomic<int> m_timingMode{0};
  std::atomic<int> m_tolerance{0};

  // Enumeration of the code store.
  std::vector<std::string> m_enumRemotes, m_enumCommands;
  size_t m_enumRemote = 0, m_enumCommand = 0;
};

}  // namespace vexa::device
