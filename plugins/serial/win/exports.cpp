// The plug-in's exports: plain functions with the callee-pops convention,
// exported undecorated through serial.def.
#include <windows.h>

#include <cstring>
#include <string>
#include <type_traits>

#include "plugins/serial/receiver_models.h"
#include "plugins/serial/win/serial_device.h"
#include "vexa/device/plugin_abi.h"

using vexa::abi::DeviceInfoRecord;
using vexa::abi::DeviceRecord;
using vexa::serial::CSerialDevice;

#define VEXA_EXPORT extern "C"

VEXA_EXPORT char* VEXA_PLUGIN_CALL DeviceInfo(DeviceInfoRecord* out) {
  const std::string list = vexa::serial::deviceNameList();
  char* names = new char[list.size()];  // the host frees it with delete[]
  std::memcpy(names, list.data(), list.size());
  if (out) {
    out->size = vexa::abi::kDeviceInfoSize;
    out->deviceNames = names;
    out->selectorKind = vexa::abi::kSerialPorts;
    out->capabilities = vexa::abi::Capability::kSelector1 | vexa::abi::Capability::kSetupButton;
  }
  return names;
}

VEXA_EXPORT int VEXA_PLUGIN_CALL OnInit(DeviceRecord* device, const char* selector1, const char*) {
  return CSerialDevice::Instance().Init(device, selector1);
}

VEXA_EXPORT void VEXA_PLUGIN_CALL OnRelease() { CSerialDevice::Instance().Release(); }

VEXA_EXPORT int VEXA_PLUGIN_CALL MonitorDevice(DeviceRecord* device, vexa::abi::WindowHandle target) {
  return CSerialDevice::Instance().Monitor(device, static_cast<HWND>(target));
}

VEXA_EXPORT void VEXA_PLUGIN_CALL OnAbout() { CSerialDevice::Instance().About(); }

VEXA_EXPORT int VEXA_PLUGIN_CALL OnWriteConfig(DeviceRecord*, const char* file) {
  return CSerialDevice::Instance().WriteConfig(file);
}

VEXA_EXPORT int VEXA_PLUGIN_CALL OnReadConfig(DeviceRecord* device, const char* file) {
  return CSerialDevice::Instance().ReadConfig(device, file);
}

VEXA_EXPORT void VEXA_PLUGIN_CALL OnFillSelector(DeviceRecord*, vexa::abi::WindowHandle, int, char*) {}

VEXA_EXPORT int VEXA_PLUGIN_CALL OnSetup(DeviceRecord* device, vexa::abi::WindowHandle) {
  return CSerialDevice::Instance().Setup(device);
}

VEXA_EXPORT void VEXA_PLUGIN_CALL OnChangeDevice(const char* deviceName) {
  CSerialDevice::Instance().ChangeDevice(deviceName);
}

// Keeps the exported types in step with the contract.
static_assert(std::is_same_v<decltype(&DeviceInfo), vexa::abi::DeviceInfoFn>);
static_assert(std::is_same_v<decltype(&OnInit), vexa::abi::OnInitFn>);
static_assert(std::is_same_v<decltype(&OnRelease), vexa::abi::OnReleaseFn>);
static_assert(std::is_same_v<decltype(&MonitorDevice), vexa::abi::MonitorDeviceFn>);
static_assert(std::is_same_v<decltype(&OnAbout), vexa::abi::OnAboutFn>);
static_assert(std::is_same_v<decltype(&OnWriteConfig), vexa::abi::OnWriteConfigFn>);
static_assert(std::is_same_v<decltype(&OnReadConfig), vexa::abi::OnReadConfigFn>);
static_assert(std::is_same_v<decltype(&OnFillSelector), vexa::abi::OnFillSelectorFn>);
static_assert(std::is_same_v<decltype(&OnSetup), vexa::abi::OnSetupFn>);
static_assert(std::is_same_v<decltype(&OnChangeDevice), vexa::abi::OnChangeDeviceFn>);
