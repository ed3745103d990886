// The plug-in's exports: plain functions with the callee-pops convention,
// exported undecorated through serial.def.
#include <windows.h>

#include "plugins/kit/device_info.h"
#include "plugins/kit/exports.h"
#include "plugins/serial/receiver_models.h"
#include "plugins/serial/win/serial_device.h"

using vexa::abi::DeviceInfoRecord;
using vexa::abi::DeviceRecord;
using vexa::serial::CSerialDevice;

VEXA_PLUGIN_EXPORT char* VEXA_PLUGIN_CALL DeviceInfo(DeviceInfoRecord* out) {
  return vexa::kit::fillDeviceInfo(out, vexa::serial::deviceNameList(), vexa::abi::kSerialPorts,
                                   vexa::abi::Capability::kSelector1 | vexa::abi::Capability::kSetupButton);
}

VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL OnInit(DeviceRecord* device, const char* selector1, const char*) {
  return CSerialDevice::Instance().Init(device, selector1);
}

VEXA_PLUGIN_EXPORT void VEXA_PLUGIN_CALL OnRelease() { CSerialDevice::Instance().Release(); }

VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL MonitorDevice(DeviceRecord* device, vexa::abi::WindowHandle target) {
  return CSerialDevice::Instance().Monitor(device, static_cast<HWND>(target));
}

VEXA_PLUGIN_EXPORT void VEXA_PLUGIN_CALL OnAbout() { CSerialDevice::Instance().About(); }

VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL OnWriteConfig(DeviceRecord*, const char* file) {
  return CSerialDevice::Instance().WriteConfig(file);
}

VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL OnReadConfig(DeviceRecord* device, const char* file) {
  return CSerialDevice::Instance().ReadConfig(device, file);
}

VEXA_PLUGIN_EXPORT void VEXA_PLUGIN_CALL OnFillSelector(DeviceRecord*, vexa::abi::WindowHandle, int, char*) {}

VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL OnSetup(DeviceRecord* device, vexa::abi::WindowHandle) {
  return CSerialDevice::Instance().Setup(device);
}

VEXA_PLUGIN_EXPORT void VEXA_PLUGIN_CALL OnChangeDevice(const char* deviceName) {
  CSerialDevice::Instance().ChangeDevice(deviceName);
}

VEXA_EXPORT_MATCHES_CONTRACT(DeviceInfo);
VEXA_EXPORT_MATCHES_CONTRACT(OnInit);
VEXA_EXPORT_MATCHES_CONTRACT(OnRelease);
VEXA_EXPORT_MATCHES_CONTRACT(MonitorDevice);
VEXA_EXPORT_MATCHES_CONTRACT(OnAbout);
VEXA_EXPORT_MATCHES_CONTRACT(OnWriteConfig);
VEXA_EXPORT_MATCHES_CONTRACT(OnReadConfig);
VEXA_EXPORT_MATCHES_CONTRACT(OnFillSelector);
VEXA_EXPORT_MATCHES_CONTRACT(OnSetup);
VEXA_EXPORT_MATCHES_CONTRACT(OnChangeDevice);
