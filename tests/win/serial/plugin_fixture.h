#pragma once
// serial.dll loaded through its exports as the host does, over the plug-in
// test support: a window that collects code blocks and the monitor on a
// thread of its own.
#include <windows.h>

#include <filesystem>
#include <string>

#include "support/win/code_window.h"
#include "support/win/monitor_thread.h"
#include "support/win/plugin_exports.h"

namespace vexa::test {

struct SerialPlugin : PluginExports {
  static SerialPlugin& Get();  // loaded once per test program, like the host does
};

std::filesystem::path serialDllPath();

// Writes an INI file with fast timings (the tests do not wait for real
// controllers) and more advanced keys, then other sections, and reads it into
// the plug-in.
void loadSettings(abi::DeviceRecord& device, const std::filesystem::path& file, const std::string& extra = {},
                  const std::string& advancedLines = {});

class CMonitorThread : public CPluginMonitorThread {
 public:
  CMonitorThread(abi::DeviceRecord& device, CCodeWindow& window)
      : CPluginMonitorThread(SerialPlugin::Get().monitorDevice, device, window) {}
};

}  // namespace vexa::test
