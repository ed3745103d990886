#pragma once
// A second-generation plug-in loaded as the host loads it: every export looked
// up by its plain name (null when missing).
#include <filesystem>

#include "vexa/device/plugin_abi.h"
#include "vexa/winlib/module.h"

namespace vexa::test {

struct PluginExports {
  win::CModule module;
  abi::DeviceInfoFn deviceInfo = nullptr;
  abi::OnInitFn onInit = nullptr;
  abi::OnReleaseFn onRelease = nullptr;
  abi::MonitorDeviceFn monitorDevice = nullptr;
  abi::OnAboutFn onAbout = nullptr;
  abi::OnReadConfigFn onReadConfig = nullptr;
  abi::OnWriteConfigFn onWriteConfig = nullptr;
  abi::OnFillSelectorFn onFillSelector = nullptr;
  abi::OnSetupFn onSetup = nullptr;
  abi::OnChangeDeviceFn onChangeDevice = nullptr;

  bool Load(const std::filesystem::path& dll);
};

// A plug-in built beside the test program: the path the build gave, relative to it.
std::filesystem::path besideTests(const char* relativePath);

abi::DeviceRecord deviceRecord(const char* model);

}  // namespace vexa::test
