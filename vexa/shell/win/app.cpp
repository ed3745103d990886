#include "vexa/shell/win/app.h"

#include <commctrl.h>
#include <shellapi.h>

#include <optional>

#include <string>

#include "vexa/base/errors.h"
#include "vexa/device/win/device.h"
#include "vexa/device/win/device_selection_page.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/model/cmd_tree_store.h"
#include "vexa/presets/current_config.h"
#include "vexa/presets/win/preset_load.h"
#include "vexa/presets/win/preset_ui.h"
#include "vexa/shell/res/resource.h"
#include "vexa/shell/win/command_config.h"
#include "vexa/shell/win/config_location.h"
#include "vexa/shell/win/device_part.h"
#include "vexa/shell/win/instance_guard.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/shell/win/registry_profile.h"
#include "vexa/winlib/gdi.h"
#include "vexa/winlib/message_loop.h"
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

bool askYesNo(const std::string& question) {
  return MessageBoxW(nullptr, win::toWide(question).c_str(), kMainWindowTitle, MB_YESNO | MB_ICONWARNING) == IDYES;
}

// Save all: the device's settings, which device is current, the command tree.
// Each part is tried, so one failure loses nothing else; false when any failed.
bool saveAllSettings(CCurrentConfig& config, const CCmdTree& tree, device::CDevice& host) {
  bool ok = true;
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
  a.loadCommandPart = [&window, &tree, &codePage](const std::filesystem::path& file) {
    const LoadResult result = loadCommandPart(file, tree, codePage);
    // What loaded stays; the user hears about the rest.
    if (const std::string problems = loadProblemsMessage(file, result); !problems.empty())
      showError(win::toWide(problems));
    window.SetCommandTree(&tree);
    window.SetApplyReason(CMainWindow::ApplyReason::CommandTree, true);
    return result.ok;
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

// The preset "/p" names on the command line, if any.
std::optional<std::string> presetArgument() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  std::optional<std::string> name;
  for (int i = 1; args && i + 1 < count; ++i)
    if (lstrcmpiW(args[i], L"/p") == 0) name = win::toUtf8(args[i + 1]);
  LocalFree(args);
  return name;
}

}  // namespace

int runApplication(HINSTANCE instance) {
  CInstanceGuard guard;
  if (!guard.IsFirst()) {
    CInstanceGuard::ActivateExisting(kMainWindowClass, kMainWindowTitle);
    return 0;
  }
  initCommonControls();

  win::CIcon icon;
  win::CIcon smallIcon;
  icon.Load(instance, IDI_VEXA);
  smallIcon.Load(instance, IDI_VEXA, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));

  const win::CSystemCodePage systemCodePage;
  CCurrentConfig config(locateConfigFile(win::appDataFolder(), win::programFolder()), systemCodePage);
  const auto tree = std::make_unique<CCmdTree>();
  const LoadResult loaded =
      loadCurrentConfig(config, *tree, [](const std::string& message) { showError(win::toWide(message)); });
  CRegistryProfile profile(device::kProgramRegistryKey);
  restoreActiveLayouts(*tree, profile);
  CMainWindow window;
  if (!window.Create(icon.Get(), smallIcon.Get())) {
    showError(L"Could not create main window.\nPlease reinstall the software and restart Windows.");
    return 1;
  }
  window.SetCommandTree(tree.get());

  // The device host: scan the devices folder, then select and start "Current Device"
  // so that a configured receiver works with no clicks.
  device::DeviceHostOptions options;
  options.programFolder = win::programFolder();
  options.appDataFolder = win::appDataFolder();
  device::CDevice host(std::move(options));
  window.AttachDevice(&host);
  window.SetSaveHandler([&] { return saveAllSettings(config, *tree, host); });
  // A legacy configuration names its receiver; otherwise the saved device starts.
  if (!(loaded.legacy && selectLegacyPlugIn(host, loaded.legacyPlugIn, window.Handle())))
    device::startSavedDevice(host, window.Handle());
  window.RefreshDevicePage();
  window.SetPresetUi(presetUi(window, *tree, host, systemCodePage));
  // "/p name": that preset replaces the loaded settings; nothing is unsaved yet to ask about.
  if (const auto preset = presetArgument())
    presets::win::loadPresetByName(window.Handle(), window.PresetUi(), *preset, false);

  window.Open();
  const int exitCode = win::RunMessageLoop();
  storeActiveLayouts(*tree, profile, true);
  window.SetCommandTree(nullptr);
  window.AttachDevice(nullptr);
  host.UnloadPlugin();
  return exitCode;
}

}  // namespace vexa::shell
