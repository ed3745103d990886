#include "vexa/shell/win/app.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwchar>
#include <optional>

#include <string>
#include <vector>

#include "vexa/base/errors.h"
#include "vexa/base/utf8_path.h"
#include "vexa/device/win/device.h"
#include "vexa/device/win/device_selection_page.h"
#include "vexa/exec/win/exec_engine.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/model/cmd_tree_store.h"
#include "vexa/osd/win/osd.h"
#include "vexa/presets/current_config.h"
#include "vexa/presets/holds_file.h"
#include "vexa/presets/preset_kinds.h"
#include "vexa/presets/win/preset_load.h"
#include "vexa/presets/win/preset_ui.h"
#include "vexa/presets/preset_actions.h"
#include "vexa/presets/preset_store.h"
#include "vexa/presets/win/export_wizard.h"
#include "vexa/shell/command_line.h"
#include "vexa/shell/res/resource.h"
#include "vexa/shell/win/config_dump.h"
#include "vexa/shell/win/error_reporter.h"
#include "vexa/shell/win/failure_hook.h"
#include "vexa/shell/win/command_config.h"
#include "vexa/shell/win/command_part_load.h"
#include "vexa/shell/win/config_location.h"
#include "vexa/shell/win/device_part.h"
#include "vexa/shell/win/instance_guard.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/shell/win/program_modules.h"
#include "vexa/shell/win/registry_profile.h"
#include "vexa/shell/win/settings_store.h"
#include "vexa/winlib/failure_sink.h"
#include "vexa/winlib/gdi.h"
#include "vexa/winlib/handle.h"
#include "vexa/winlib/message_loop.h"
#include "vexa/winlib/module.h"
#include "vexa/winlib/shell_folders.h"
#include "vexa/winlib/system_code_page.h"
#include "vexa/winlib/unicode.h"

namespace vexa::shell {

namespace {

void showError(const std::wstring& text) {
  MessageBoxW(nullptr, text.c_str(), kMainWindowTitle, MB_OK | MB_ICONERROR);
}

void initCommonControls() {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_USEREX_CLASSES};
  InitCommonControlsEx(&icc);
}

// Older common controls lack what the pages use; the user may go on all the same, once asked.
bool commonControlsAcceptable(const ProgramSettings& settings) {
  win::CModule comctl;
  comctl.Load(L"comctl32.dll");
  const auto getVersion = comctl.GetProc<HRESULT(CALLBACK*)(DLLVERSIONINFO*)>("DllGetVersion");
  DLLVERSIONINFO version{};
  version.cbSize = sizeof(version);
  if (!getVersion || FAILED(getVersion(&version))) {
    version.dwMajorVersion = 4;  // the version that predates the function
    version.dwMinorVersion = 0;
  }
  if (!(version.dwMajorVersion == 4 && version.dwMinorVersion < 71) || settings.comCtlWarned) return true;
  wchar_t text[1024];
  swprintf(text, sizeof text / sizeof text[0], L"%ls\n%ls %d.%d.\n%ls\n\n%ls",
           L"Vexa requires version 4.71 or higher of the Common Controls Library (comctl32.dll).",
           L"The installed version of comctl32.dll is", static_cast<int>(version.dwMajorVersion),
           static_cast<int>(version.dwMinorVersion), L"You should obtain the newest update from the Microsoft Website.",
           L"Vexa may not run as expected. Proceed anyway?");
  if (MessageBoxW(nullptr, text, kMainWindowTitle, MB_YESNO | MB_ICONWARNING) != IDYES) return false;
  storeComCtlWarned();
  return true;
}

// Shutdown and reboot actions need the privilege; without it they fail, which they report.
void enableShutdownPrivilege() {
  win::CModule advapi;
  advapi.Load(L"advapi32.dll");
  const auto openToken = advapi.GetProc<BOOL(WINAPI*)(HANDLE, DWORD, HANDLE*)>("OpenProcessToken");
  const auto lookUp = advapi.GetProc<BOOL(WINAPI*)(const wchar_t*, const wchar_t*, LUID*)>("LookupPrivilegeValueW");
  const auto adjust = advapi.GetProc<BOOL(WINAPI*)(HANDLE, BOOL, TOKEN_PRIVILEGES*, DWORD, TOKEN_PRIVILEGES*, DWORD*)>(
      "AdjustTokenPrivileges");
  if (!openToken || !lookUp || !adjust) return;
  HANDLE rawToken = nullptr;
  if (!openToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &rawToken)) return;
  const win::CHandle token(rawToken);
  TOKEN_PRIVILEGES privileges{1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
  if (lookUp(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid))
    adjust(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
}

bool askYesNo(const std::string& question) {
  return MessageBoxW(nullptr, win::toWide(question).c_str(), kMainWindowTitle, MB_YESNO | MB_ICONWARNING) == IDYES;
}

// Save all: the program's settings, the device's settings, which device is
// current, the command tree. Each part is tried, so one failure loses nothing
// else; false when any failed.
bool saveAllSettings(const ProgramSettings& settings, CCurrentConfig& config, const CCmdTree& tree,
                     device::CDevice& host) {
  bool ok = true;
  if (!saveProgramSettings(settings, win::programFolder() / L"vexa.exe")) {
    showError(L"Could not write to registry");
    ok = false;
  }
  if (!host.SaveSettings()) {
    showError(L"Could not save the device settings.");
    ok = false;
  }
  if (!device::storeCurrentDevice(host)) {
    showError(L"Could not write to registry");
    ok = false;
  }
  try {
    if (!saveCurrentConfig(config, tree, askYesNo)) ok = false;
  } catch (const VexaError& e) {
    showError(L"Could not save the configuration:\n" + win::toWide(e.what()));
    ok = false;
  }
  return ok;
}

// What the preset windows need of the running program.
presets::win::PresetUi presetUi(CMainWindow& window, CCmdTree& tree, device::CDevice& host,
                                const ICodePage& codePage) {
  presets::win::PresetUi ui;
  ui.programFolder = win::programFolder();
  ui.resources = GetModuleHandleW(nullptr);
  PresetActions& a = ui.actions;
  a.saveCommandPart = [&tree, &codePage](const std::filesystem::path& file) {
    try {
      saveCommandPart(file, tree, codePage);
      saveHolds(presetHoldsFile(file), tree, codePage);
      return true;
    } catch (const VexaError& e) {
      showError(L"Could not save the preset:\n" + win::toWide(e.what()));
      return false;
    }
  };
  a.saveDevicePart = [&host](const std::filesystem::path& file) {
    if (saveDevicePart(host, file)) return true;
    showError(L"Could not save the device preset.");
    return false;
  };
  a.loadCommandPart = [&window, &tree, &host, &codePage](const std::filesystem::path& file) {
    return loadCommandPartIntoProgram(window, tree, host, file, codePage,
                                      [](const std::string& problems) { showError(win::toWide(problems)); });
  };
  a.loadDevicePart = [&window, &host](const std::filesystem::path& file) {
    const bool loaded = loadDevicePart(host, file, window.Handle());
    window.RefreshDevicePage();
    return loaded;
  };
  a.settingsUnsaved = [&window] { return window.IsApplyEnabled(); };
  a.applyAndStore = [&window] { window.SaveAll(); };
  a.status = [&window](std::string_view text) {
    window.ShowStatusText(win::toWide(text));
  };
  return ui;
}

// The command line after the program's own name, which may be quoted.
std::string argumentsAfterProgramName() {
  const wchar_t* p = GetCommandLineW();
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  return win::toUtf8(p);
}

CommandLine readCommandLine() {
  CommandLine commandLine = parseCommandLine(argumentsAfterProgramName());
  for (const auto& message : commandLine.messages)
    MessageBoxW(nullptr, win::toWide(message.text).c_str(), kMainWindowTitle,
                MB_OK | (message.kind == CommandLineMessage::Kind::Error ? MB_ICONERROR : MB_ICONINFORMATION));
  return commandLine;
}

// "/p": a preset file (its other part comes along) or a preset's name; stored at once.
void loadStartPreset(CMainWindow& window, const std::string& argument) {
  if (!namesPresetFile(argument)) {
    presets::win::loadPresetByName(window.Handle(), window.PresetUi(), argument, false);
    return;
  }
  PresetActions actions = window.PresetUi().actions;
  actions.warn = [&argument](std::string_view text) {
    showError(win::toWide(text) + L"\n\n" + win::toWide(argument));
  };
  loadPresetAtStart(pathFromUtf8(argument), actions);
}

inline constexpr std::string_view kSamplePreset = "Sample Preset";
inline constexpr const wchar_t* kSamplePresetQuestion =
    L"This is the first time you start Vexa. Would you like to load a sample configuration?";

// The first start offers the shipped sample, unless the user already has a configuration.
void offerSamplePreset(CMainWindow& window, bool configExisted) {
  storeFirstRunDone();
  if (configExisted) return;
  const auto presets = listPresets(win::programFolder());
  const bool shipped = std::any_of(presets.begin(), presets.end(),
                                   [](const PresetEntry& preset) { return preset.name == kSamplePreset; });
  if (!shipped) return;
  if (MessageBoxW(nullptr, kSamplePresetQuestion, kMainWindowTitle, MB_YESNO | MB_ICONQUESTION) == IDYES)
    presets::win::loadPresetByName(window.Handle(), window.PresetUi(), kSamplePreset, false);
}

}  // namespace

SessionHooks deviceSessionHooks(CMainWindow& window, device::CDevice& host) {
  SessionHooks hooks;
  hooks.unloadDeviceKeepSelection = [&window, &host] {
    host.UnloadKeepSelection();
    window.RefreshDevicePage();
  };
  hooks.reloadPlugin = [&window, &host] {
    host.SelectDevice({}, window.Handle());
    window.RefreshDevicePage();
  };
  hooks.startDeviceWithInit = [&host] { host.StartSession(true); };
  return hooks;
}

int runApplication(HINSTANCE instance) {
  CInstanceGuard guard;
  if (!guard.IsFirst()) {
    CInstanceGuard::ActivateExisting(kMainWindowClass, kMainWindowTitle);
    return 0;
  }
  const ProgramSettings savedSettings = loadProgramSettings();
  if (!commonControlsAcceptable(savedSettings)) return 0;
  enableShutdownPrivilege();
  initCommonControls();
  for (const auto& folder : {win::programFolder(), win::programFolder() / std::string(kPresetsFolder)})
    renameOldPresetKinds(folder);

  win::CIcon icon;
  win::CIcon smallIcon;
  icon.Load(instance, IDI_VEXA);
  smallIcon.Load(instance, IDI_VEXA, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));

  const win::CSystemCodePage systemCodePage;
  CCurrentConfig config(locateConfigFile(win::appDataFolder(), win::programFolder()), systemCodePage);
  std::error_code missing;
  const bool configExisted = std::filesystem::exists(config.file(), missing);
  const auto tree = std::make_unique<CCmdTree>();
  // What the load found is told once start-up is done: a box now would hold
  // the remote back until someone clicks it.
  std::vector<std::string> loadReport;
  const LoadResult loaded =
      loadCurrentConfig(config, *tree, [&loadReport](const std::string& message) { loadReport.push_back(message); });
  CRegistryProfile profile(device::kProgramRegistryKey);
  restoreActiveLayouts(*tree, profile);
  CMainWindow window;
  if (!window.Create(icon.Get(), smallIcon.Get())) {
    showError(L"Could not create main window.\nPlease reinstall the software and restart Windows.");
    return 1;
  }
  window.SetCommandTree(tree.get());
  window.SetProgramSettings(loadProgramSettings());
  CProgramModules modules(window);
  window.SetShutdownHooks({[&] { modules.StopServer(); }, {}, [&] { storeActiveLayouts(*tree, profile, true); }});
  window.SetSettingsHandler([&window](const ProgramSettings& settings) {
    if (!window.Dispatch()) return;
    // The display's look has a page of its own and is not part of these settings.
    DispatchSettings dispatch = DispatchSettings::from(settings);
    dispatch.osd = window.Dispatch()->Osd().Settings();
    window.Dispatch()->ApplySettings(dispatch);
  });

  // The device host: scan the devices folder, then select and start "Current Device"
  // so that a configured receiver works with no clicks.
  device::DeviceHostOptions options;
  options.programFolder = win::programFolder();
  options.appDataFolder = win::appDataFolder();
  device::CDevice host(std::move(options));

  // From here failures reach the user and err.log; a fatal one ends the program in order.
  ErrorReporterHooks reporterHooks;
  reporterHooks.configValues = [&window, &host, &modules] {
    const ServerState server{static_cast<int>(window.Settings().serverPort), modules.Server().Running()};
    return collectConfigDump(window.Settings(), &host, server);
  };
  reporterHooks.exportRecoveryPreset = [&window] {
    return presets::win::exportUnattended(window.PresetUi(), kRecoveryPresetName);
  };
  reporterHooks.shutDownInOrder = [&window] {
    if (window.Handle()) window.ShutDown();
  };
  CErrorReporter reporter(win::programFolder(), systemCodePage, std::move(reporterHooks));
  reporter.Create();
  const CUnhandledFailureHook failureHook(reporter);
  // A message handler or a run that fails is reported and abandoned; the program goes on.
  const win::FailureSink reportFailure = [&reporter](std::exception_ptr error, const char* file, int line,
                                                     const char* date) {
    reporter.ReportException(std::move(error), file, line, date);
  };
  const win::CFailureScope failureScope(reportFailure);
  window.Dispatch()->Engine().SetFailureSink(reportFailure);

  SessionHooks sessionHooks = deviceSessionHooks(window, host);
  sessionHooks.stopServer = [&modules] { modules.StopServer(); };
  sessionHooks.startServer = [&modules] { modules.StartServer(); };
  window.WatchSessions(std::move(sessionHooks));

  window.AttachDevice(&host);
  window.SetSaveHandler([&] { return saveAllSettings(window.Settings(), config, *tree, host); });
  // A legacy configuration names its receiver; otherwise the saved device starts.
  if (!(loaded.legacy && selectLegacyPlugIn(host, loaded.legacyPlugIn, window.Handle())))
    device::startSavedDevice(host, window.Handle());
  window.RefreshDevicePage();
  window.SetPresetUi(presetUi(window, *tree, host, systemCodePage));
  // "/p": that preset replaces the loaded settings and is stored at once.
  const CommandLine commandLine = readCommandLine();
  if (commandLine.options.presetFile) {
    loadStartPreset(window, *commandLine.options.presetFile);
  } else if (savedSettings.firstRun) {
    offerSamplePreset(window, configExisted);
  }
  modules.Start();
  window.RunStartupMacro();
  if (commandLine.options.configLog && !reporter.WriteConfigLog())
    showError(L"Could not write " + reporter.ConfigLogPath().wstring());

  const bool hidden =
      window.Settings().options.has(ProgramOptions::kHideOnStartup) || commandLine.options.presetFile.has_value();
  if (!hidden) window.Open();
  for (const auto& message : loadReport) showError(win::toWide(message));
  if (const std::string ignored = holdsIgnoredStatus(config.holdsFile(), config.holdsLoad()); !ignored.empty())
    window.ShowStatusText(win::toWide(ignored));
  const int exitCode = win::RunMessageLoop();
  if (window.Dispatch()) window.Dispatch()->Engine().SetFailureSink({});  // the reporter goes first
  window.SetCommandTree(nullptr);
  window.AttachDevice(nullptr);
  host.UnloadPlugin();
  return exitCode;
}

}  // namespace vexa::shell
