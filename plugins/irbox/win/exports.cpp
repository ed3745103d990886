// The plug-in's exports: plain functions with the callee-pops convention,
// exported undecorated through irbox.def.
#include <windows.h>

#include "plugins/irbox/irbox_protocol.h"
#include "plugins/irbox/win/irbox_device.h"
#include "plugins/kit/device_info.h"
#include "plugins/kit/exports.h"
#include "plugins/kit/win/module_info.h"

using vexa::abi::DeviceInfoRecord;
using vexa::abi::DeviceRecord;
using vexa::irbox::CIrboxDevice;

VEXA_PLUGIN_EXPORT char* VEXA_PLUGIN_CALL DeviceInfo(DeviceInfoRecord* out) {
  return vexa::kit::fillDeviceInfo(out, vexa::irbox::modelList(), vexa::abi::kSerialPorts,
                                   vexa::abi::Capability::kSelector1);
}

VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL OnInit(DeviceRecord* device, const char* selector1, const char*) {
  return CIrboxDevice::Instance().Init(device, selector1);
}

VEXA_PLUGIN_EXPORT void VEXA_PLUGIN_CALL OnRelease() { CIrboxDevice::Instance().Release(); }

VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL MonitorDevice(DeviceRecord*, vexa::abi::WindowHandle target) {
  return CIrboxDevice::Instance().Monitor(static_cast<HWND>(target));
}

VEXA_PLUGIN_EXPORT void VEXA_PLUGIN_CALL OnAbout() { vexa::kit::showAbout("irbox.hlp", "irbox.dll"); }

VEXA_EXPORT_MATCHES_CONTRACT(DeviceInfo);
VEXA_EXPORT_MATCHES_CONTRACT(OnInit);
VEXA_EXPORT_MATCHES_CONTRACT(OnRelease);
VEXA_EXPORT_MATCHES_CONTRACT(MonitorDevice);
VEXA_EXPORT_MATCHES_CONTRACT(OnAbout);
