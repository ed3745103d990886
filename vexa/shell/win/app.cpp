#include "vexa/shell/win/app.h"

#include <commctrl.h>

#include <string>

#include "vexa/base/errors.h"
#include "vexa/device/win/device.h"
#include "vexa/device/win/device_selection_page.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/presets/config_files.h"
#include "vexa/shell/res/resource.h"
#include "vexa/shell/win/command_config.h"
#include "vexa/shell/win/config_location.h"
#include "vexa/shell/win/instance_guard.h"
#include "vexa/shell/win/main_window.h"
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

// The command tree and the device's settings; the files are replaced whole.
bool saveAllSettings(const std::filesystem::path& configFile, const CCmdTree& tree, device::CDevice& host) {
  try {
    saveCommandPart(configFile, tree, win::CSystemCodePage());
  } catch (const VexaError& e) {
    showError(L"Could not save the configuration:\n" + win::toWide(e.what()));
    return false;
  }
  if (!host.SaveSettings()) {
    showError(L"Could not save the device settings.");
    return false;
  }
  return true;
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

  const std::filesystem::path configFile = locateConfigFile(win::appDataFolder(), win::programFolder());
  const auto tree = loadCommandTree(configFile, [](const std::string& error) { showError(win::toWide(error)); });
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
  window.SetSaveHandler([&] { return saveAllSettings(configFile, *tree, host); });
  device::startSavedDevice(host, window.Handle());
  window.RefreshDevicePage();

  window.Open();
  const int exitCode = win::RunMessageLoop();
  window.SetCommandTree(nullptr);
  window.AttachDevice(nullptr);
  host.UnloadPlugin();
  return exitCode;
}

}  // namespace vexa::shell
