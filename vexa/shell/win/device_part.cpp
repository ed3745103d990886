#include "vexa/shell/win/device_part.h"

#include "vexa/base/errors.h"
#include "vexa/base/strings.h"
#include "vexa/device/plugin_list.h"
#include "vexa/device/win/device.h"
#include "vexa/device/win/device_selection_page.h"
#include "vexa/presets/config_files.h"

namespace vexa::shell {

namespace {

bool selectAndStart(device::CDevice& host, const std::string& name, HWND mainWindow) {
  if (name.empty() || iequals(name, device::kKeyboardDevice)) {
    host.UnloadPlugin();
    return !name.empty();
  }
  if (!host.SelectDevice(name, mainWindow)) return false;
  device::storeCurrentDevice(host);
  return true;
}

}  // namespace

bool loadDevicePart(device::CDevice& host, const std::filesystem::path& file, HWND mainWindow) {
  std::string name;
  try {
    name = devicePartPlugIn(CIniFile::load(file, host.PluginCodePage()));
  } catch (const VexaError&) {
    return false;
  }
  if (!selectAndStart(host, name, mainWindow)) return false;
  if (!host.Current()) return true;  // keyboard mode has no settings
  const bool read = host.LoadSettings(file);
  host.RestartDevice();
  return read;
}

bool saveDevicePart(device::CDevice& host, const std::filesystem::path& file) {
  const std::string name = host.Current() ? host.DeviceName() : std::string(device::kKeyboardDevice);
  const std::string leading = newDevicePart(name).text();
  if (host.Current()) return host.SaveSettings(file, leading);
  try {
    newDevicePart(name).save(file, host.PluginCodePage());
    return true;
  } catch (const VexaError&) {
    return false;
  }
}

bool selectLegacyPlugIn(device::CDevice& host, const std::string& plugIn, HWND mainWindow) {
  if (!selectAndStart(host, plugIn, mainWindow)) return false;
  if (host.Current()) host.StartSession(true);
  return true;
}

}  // namespace vexa::shell
