#include "support/win/plugin_exports.h"

namespace vexa::test {

bool PluginExports::Load(const std::filesystem::path& dll) {
  if (!module.Load(dll)) return false;
  deviceInfo = module.GetProc<abi::DeviceInfoFn>(abi::kDeviceInfo);
  onInit = module.GetProc<abi::OnInitFn>(abi::kOnInit);
  onRelease = module.GetProc<abi::OnReleaseFn>(abi::kOnRelease);
  monitorDevice = module.GetProc<abi::MonitorDeviceFn>(abi::kMonitorDevice);
  onAbout = module.GetProc<abi::OnAboutFn>(abi::kOnAbout);
  onReadConfig = module.GetProc<abi::OnReadConfigFn>(abi::kOnReadConfig);
  onWriteConfig = module.GetProc<abi::OnWriteConfigFn>(abi::kOnWriteConfig);
  onFillSelector = module.GetProc<abi::OnFillSelectorFn>(abi::kOnFillSelector);
  onSetup = module.GetProc<abi::OnSetupFn>(abi::kOnSetup);
  onChangeDevice = module.GetProc<abi::OnChangeDeviceFn>(abi::kOnChangeDevice);
  return true;
}

std::filesystem::path besideTests(const char* relativePath) {
  return win::modulePath().parent_path() / relativePath;
}

abi::DeviceRecord deviceRecord(const char* model) {
  abi::DeviceRecord device{};
  abi::copyField(device.deviceName, model);
  return device;
}

}  // namespace vexa::test
