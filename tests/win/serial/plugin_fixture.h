#pragma once
// serial.dll loaded through its exports as the host does, a window that
// collects the code blocks it sends, and the monitor on a thread of its own.
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "vexa/device/plugin_abi.h"
#include "vexa/winlib/handle.h"
#include "vexa/winlib/module.h"
#include "vexa/winlib/sync.h"

namespace vexa::test {

struct SerialPlugin {
  win::CModule module;
  abi::DeviceInfoFn deviceInfo = nullptr;
  abi::OnInitFn onInit = nullptr;
  abi::OnReleaseFn onRelease = nullptr;
  abi::MonitorDeviceFn monitorDevice = nullptr;
  abi::OnReadConfigFn onReadConfig = nullptr;
  abi::OnWriteConfigFn onWriteConfig = nullptr;
  abi::OnFillSelectorFn onFillSelector = nullptr;
  abi::OnChangeDeviceFn onChangeDevice = nullptr;

  static SerialPlugin& Get();  // loaded once per test program, like the host does
};

std::filesystem::path serialDllPath();

// Writes an INI file with fast timings (the tests do not wait for real
// controllers) and more advanced keys, then other sections, and reads it into
// the plug-in.
void loadSettings(abi::DeviceRecord& device, const std::filesystem::path& file, const std::string& extra = {},
                  const std::string& advancedLines = {});

abi::DeviceRecord deviceRecord(const char* model);

// Receives code blocks on the thread that created it.
class CCodeWindow {
 public:
  CCodeWindow();
  ~CCodeWindow();
  HWND Handle() const { return m_hwnd; }
  const std::vector<std::string>& Blocks() const { return m_blocks; }
  // Pumps messages until done() or the time-out; returns done().
  bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND m_hwnd = nullptr;
  std::vector<std::string> m_blocks;
};

// Runs MonitorDevice like the host's monitor thread and stops it with the
// host's terminate event.
class CMonitorThread {
 public:
  CMonitorThread(abi::DeviceRecord& device, CCodeWindow& window);
  ~CMonitorThread() { Stop(); }
  // Sets the terminate event and waits (pumping the window) for the thread.
  bool Stop(DWORD timeoutMs = 3000);
  bool Finished() const { return WaitForSingleObject(m_thread.Get(), 0) == WAIT_OBJECT_0; }
  int Result() const { return m_result; }

 private:
  static DWORD WINAPI ThreadMain(void* self);
  abi::DeviceRecord& m_device;
  CCodeWindow& m_window;
  win::CEvent m_terminate;
  win::CHandle m_thread;
  int m_result = 0x7fffffff;
};

}  // namespace vexa::test
