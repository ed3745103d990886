#include "tests/win/serial/plugin_fixture.h"

#include <fstream>

#include "vexa/winlib/module.h"

namespace vexa::test {

std::filesystem::path serialDllPath() {
  return win::modulePath().parent_path() / SERIAL_DLL_FROM_TESTS;
}

SerialPlugin& SerialPlugin::Get() {
  static SerialPlugin plugin = [] {
    SerialPlugin p;
    p.module.Load(serialDllPath());
    p.deviceInfo = p.module.GetProc<abi::DeviceInfoFn>(abi::kDeviceInfo);
    p.onInit = p.module.GetProc<abi::OnInitFn>(abi::kOnInit);
    p.onRelease = p.module.GetProc<abi::OnReleaseFn>(abi::kOnRelease);
    p.monitorDevice = p.module.GetProc<abi::MonitorDeviceFn>(abi::kMonitorDevice);
    p.onReadConfig = p.module.GetProc<abi::OnReadConfigFn>(abi::kOnReadConfig);
    p.onWriteConfig = p.module.GetProc<abi::OnWriteConfigFn>(abi::kOnWriteConfig);
    p.onFillSelector = p.module.GetProc<abi::OnFillSelectorFn>(abi::kOnFillSelector);
    p.onChangeDevice = p.module.GetProc<abi::OnChangeDeviceFn>(abi::kOnChangeDevice);
    return p;
  }();
  return plugin;
}

void loadSettings(abi::DeviceRecord& device, const std::filesystem::path& file, const std::string& extra,
                  const std::string& advancedLines) {
  std::ofstream(file, std::ios::binary) << "[AdancedSettings]\r\nReset=5\r\nPowerUp=5\r\nTxDDelay=5\r\nRxDDelay=5\r\n"
                                        << advancedLines << extra;
  SerialPlugin::Get().onReadConfig(&device, file.string().c_str());
}

abi::DeviceRecord deviceRecord(const char* model) {
  abi::DeviceRecord device{};
  abi::copyField(device.deviceName, model);
  return device;
}

// ---- Code window -------------------------------------------------------------

CCodeWindow::CCodeWindow() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &CCodeWindow::WindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "SerialTestCodeWindow";
  RegisterClassA(&wc);
  m_hwnd = CreateWindowA(wc.lpszClassName, "codes", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

CCodeWindow::~CCodeWindow() { DestroyWindow(m_hwnd); }

LRESULT CALLBACK CCodeWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<CCodeWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self && msg == abi::kVexaMessage && wp == abi::PageCode::kCodeBlock) {
    const auto* block = reinterpret_cast<const abi::CodeBlock*>(lp);
    self->m_blocks.emplace_back(reinterpret_cast<const char*>(block->bytes), block->count);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

bool CCodeWindow::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!done()) {
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return done();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 20)), QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  return true;
}

// ---- Monitor thread ----------------------------------------------------------

CMonitorThread::CMonitorThread(abi::DeviceRecord& device, CCodeWindow& window) : m_device(device), m_window(window) {
  m_terminate.Create(L"VEXA_DEVMONITOR_TERMINATE", true, false);
  m_terminate.Reset();
  m_thread.Attach(CreateThread(nullptr, 0, &CMonitorThread::ThreadMain, this, 0, nullptr));
}

DWORD WINAPI CMonitorThread::ThreadMain(void* self) {
  auto* me = static_cast<CMonitorThread*>(self);
  me->m_result = SerialPlugin::Get().monitorDevice(&me->m_device, me->m_window.Handle());
  return 0;
}

bool CMonitorThread::Stop(DWORD timeoutMs) {
  if (!m_thread) return true;
  m_terminate.Set();
  const bool ended = m_window.PumpUntil([this] { return Finished(); }, timeoutMs);
  if (!ended) TerminateThread(m_thread.Get(), 0xFFFFFFFF);
  m_thread.Close();
  return ended;
}

}  // namespace vexa::test
