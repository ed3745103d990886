// The plug-in's exports: plain functions with the callee-pops convention,
// exported undecorated through carrio.def.
#include <windows.h>

#include "plugins/carrio/win/carrio_device.h"
#include "plugins/kit/device_info.h"
#include "plugins/kit/exports.h"
#include "plugins/kit/win/module_info.h"

using vexa::abi::DeviceInfoRecord;
using vexa::abi::DeviceRecord;
using vexa::carrio::CCarrioDevice;

VEXA_PLUGIN_EXPORT char* VEXA_PLUGIN_CALL DeviceInfo(DeviceInfoRecord* out) {
  static const std::string models =
      vexa::kit::nameList({"Generic CARRIO Line Device", "LIRC Basic Device", "Packard Bell Fast Media"});
  return vexa::kit::fillDeviceInfo(out, models, vexa::abi::kSerialPorts, vexa::abi::Capability::kSelector1);
}

VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL OnInit(DeviceRecord* device, const char* selector1, const char*) {
  return CCarrioDevice::Instance().Init(device, selector1);
}

VEXA_PLUGIN_EXPORT void VEXA_PLUGIN_CALL OnRelease() { CCarrioDevice::Instance().Release(); }

VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL MonitorDevice(DeviceRecord*, vexa::abi::WindowHandle target) {
  return CCarrioDevice::Instance().Monitor(static_cast<HWND>(target));
}

VEXA_PLUGIN_EXPORT void VEXA_PLUGIN_CALL OnAbout() { vexa::kit::showAbout("carrio.hlp", "carrio.dll"); }

VEXA_EXPORT_MATCHES_CONTRACT(DeviceInfo);
VEXA_EXPORT_MATCHES_CONTRACT(OnInit);
VEXA_EXPORT_MATCHES_CONTRACT(OnRelease);
VEXA_EXPORT_MATCHES_CONTRACT(MonitorDevice);
VEXA_EXPORT_MATCHES_CONTRACT(OnAbout);
