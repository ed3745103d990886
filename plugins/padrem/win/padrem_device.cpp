#include "plugins/padrem/win/padrem_device.h"

#include "plugins/kit/win/delivery.h"
#include "plugins/padrem/win/pointer_input.h"
#include "plugins/store/win/preset_file.h"
#include "plugins/store/win/registry_key.h"
#include "vexa/device/plugin_abi.h"

namespace vexa::padrem {

namespace {

constexpr const wchar_t* kComEventName = L"PADREMComEv";
constexpr const wchar_t* kTerminateName = L"TerminatePADREM";
constexpr const wchar_t* kTerminatedName = L"PADREMTermOK";
constexpr DWORD kReadTimeoutMs = 150;
constexpr DWORD kWriteTimeoutMs = 100;
constexpr DWORD kQueueBytes = 4096;
constexpr DWORD kPowerMs = 200;
constexpr DWORD kStopWaitMs = 5000;
constexpr const char* kLearnWindowTitle = "Learn";
constexpr const char* kCaption = "padrem.dll";

// Waits for an event while this thread's windows keep answering: the worker
// sends to them and would otherwise never get to confirm its end.
bool waitDispatching(HANDLE event, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
    const DWORD woke = MsgWaitForMultipleObjects(1, &event, FALSE, left, QS_ALLINPUT);
    if (woke == WAIT_OBJECT_0) return true;
    if (woke != WAIT_OBJECT_0 + 1) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

}  // namespace

CPadremDevice& CPadremDevice::Instance() {
  // Never destroyed: at process exit the loader lock is held, and closing
  // ports, windows and libraries then can block. Release() does it in time.
  static CPadremDevice* device = new CPadremDevice;
  return *device;
}

int CPadremDevice::ReadConfig(HKEY key) {
  store::CRegistryKey settings = store::CRegistryKey::Borrow(key);
  m_saved.port = settings.QueryString(kPortValue, kDefaultPort).substr(0, kMaxPortName);
  m_saved.mousepad = settings.QueryDword(kMousepadValue).value_or(0) == 1;
  m_chosenPort = m_saved.port;
  m_mousepad = m_saved.mousepad;
  return store::readCommands(settings, m_store) ? 1 : 0;
}

int CPadremDevice::WriteConfig(HKEY key) {
  store::CRegistryKey settings = store::CRegistryKey::Borrow(key);
  bool ok = settings.deleteTree(store::kCommandsKey);
  m_saved.port = m_chosenPort;
  m_saved.mousepad = m_mousepad;
  ok = settings.SetString(kPortValue, m_saved.port) && ok;
  ok = settings.setDword(kMousepadValue, m_saved.mousepad ? 1 : 0) && ok;
  return store::writeCommands(settings, m_store) && ok ? 1 : 0;
}

int CPadremDevice::SavePreset(const char* file) {
  store::CPresetFile preset(file);
  preset.write(store::kPresetConfigSection, kPortValue, m_chosenPort);
  store::saveCommands(preset, presetFormat(), m_store);
  return 1;
}

int CPadremDevice::LoadPreset(const char* file) {
  SendStatus(abi::MainCode::kDeviceNotInitialised, "Loading configuration...");
  store::CPresetFile preset(file);
  const std::string port = preset.read(store::kPresetConfigSection, kPortValue, kDefaultPort).substr(0, kMaxPortName);
  m_chosenPort = port;
  const bool hardware = StartMsgLoop(nullptr) != 0;
  if (!hardware) SendStatus(abi::MainCode::kDeviceNotInitialised, "Hardware not properly initialized. Check settings.");
  const store::PresetLoad load = store::loadCommands(preset, presetFormat(), m_store);
  if (hardware) SendStatus(abi::MainCode::kDeviceReady, "");
  if (!load.complete())
    MessageBoxA(m_host.load(),
                "Not all commands were imported properly!\nPlease check your Hardware Setup for missing commands.",
                "WARNING!", MB_OK | MB_ICONWARNING);
  return hardware ? 1 : 0;
}

void CPadremDevice::ChoosePort(const std::string& port) {
  m_chosenPort = port.substr(0, kMaxPortName);
  if (HWND host = m_host.load()) SendMessageA(host, abi::kVexaMessage, m_chosenPort != m_saved.port ? 1 : 2, 0);
}

void CPadremDevice::PowerLines(DCB& dcb, bool on) {
  dcb.fDtrControl = on ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
  dcb.fRtsControl = on ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
  m_port.SetState(dcb);
}

void CPadremDevice::ClosePort() {
  if (!m_port.IsOpen()) return;
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (m_port.GetState(dcb)) PowerLines(dcb, false);
  m_port.Close();
  m_openPort.clear();
}

int CPadremDevice::OpenReceiver(const std::string& port) {
  ClosePort();
  m_driverWindow.Destroy();
  m_driver.Release();
  if (m_driver.Open()) {
    if (!m_driver.FindReceiver()) {
      m_statusLine = "Receiver not found.";
      return kNoReceiver;
    }
    if (!m_driverWindow.Create()) {
      m_statusLine = "Can't initialize Windows device driver.";
      return kDriverFailed;
    }
    m_statusLine = "Using Windows device driver.";
    return kOpened;
  }
  m_statusLine = "Using direct hardware access.";
  win::CEvent event;
  if (!event.Create(kComEventName, true, false)) MessageBoxA(nullptr, "Could not create Event", kCaption, MB_OK);
  if (port.empty() || !m_port.Open(port.c_str())) return kPortFailed;
  m_port.SetTimeouts(kReadTimeoutMs, kReadTimeoutMs, kReadTimeoutMs, kWriteTimeoutMs, kWriteTimeoutMs);
  SetupComm(m_port.Get(), kQueueBytes, kQueueBytes);
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  m_port.GetState(dcb);
  BuildCommDCBA("baud=1200 parity=N data=8 stop=1", &dcb);
  dcb.Parity = EVENPARITY;  // the field only: checking stays off
  // The receiver draws its power from DTR and RTS: off, then on, wakes it.
  for (bool on : {false, true}) {
    PowerLines(dcb, on);
    event.Reset();
    Sleep(kPowerMs);
  }
  m_port.Purge(PURGE_TXCLEAR | PURGE_RXCLEAR);
  m_openPort = port;
  return kOpened;
}

int CPadremDevice::StartMsgLoop(HWND target) {
  if (target) m_host = target;
  if (!m_learning) {
    EndMsgLoop();
    if (OpenReceiver(m_chosenPort) != kOpened) return 0;
  }
  return StartReceiving();
}

int CPadremDevice::StartReceiving() {
  if (m_driver.IsOpen()) {
    if (m_driver.Attach(m_driverWindow.Handle(), CDriverWindow::kKeyMessage)) return 1;
    m_driver.Release();
    return 0;
  }
  if (m_worker.IsValid()) return 1;  // learning keeps the running worker
  if (!m_terminate.IsValid()) m_terminate.Create(kTerminateName, true, false);
  if (!m_terminated.IsValid()) m_terminated.Create(kTerminatedName, true, false);
  m_terminate.Reset();
  m_terminated.Reset();
  m_worker.Attach(CreateThread(nullptr, 0, &CPadremDevice::WorkerMain, nullptr, 0, nullptr));
  return m_worker.IsValid() ? 1 : 0;
}

void CPadremDevice::EndMsgLoop() {
  m_driver.Detach();
  if (!m_worker.IsValid()) return;
  if (!m_worker.Wait(0)) {
    m_terminate.Set();
    waitDispatching(m_terminated.Get(), kStopWaitMs);
    if (!m_worker.Wait(100)) TerminateThread(m_worker.Get(), 0xFFFFFFFF);
  }
  m_worker.Close();
}

void CPadremDevice::Release() {
  EndMsgLoop();
  m_driverWindow.Destroy();
  m_driver.Release();
  ClosePort();
}

DWORD WINAPI CPadremDevice::WorkerMain(void* target) {
  return static_cast<DWORD>(Instance().MsgLoop(static_cast<HWND>(target)));
}

int CPadremDevice::MsgLoop(HWND target) {
  if (!target) target = m_host.load();
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  win::CEvent io, terminate;
  io.Create(kComEventName, true, false);
  terminate.Create(kTerminateName, true, false);
  CPacketDecoder decoder([this](uint32_t code) { return m_store.firstWithCode(code); });
  m_port.SetMask(EV_RXCHAR);
  win::COverlapped read(io.Get());
  while (m_port.IsOpen()) {
    uint8_t byte = 0;
    read.Reset();
    if (!m_port.StartRead(&byte, 1, read.ov)) break;
    HANDLE waits[] = {terminate.Get(), io.Get()};
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
      m_port.CancelPending(read.ov);
      break;
    }
    if (m_port.Result(read.ov, false) != 1) {
      decoder.endPacket();  // the line went quiet
      continue;
    }
    for (const PadEvent& event : decoder.feed(byte, {m_learning, m_mousepad})) Handle(event, target);
  }
  // Never leave the pointer holding a button.
  for (const PadEvent& event : decoder.releaseAll()) Handle(event, target);
  m_port.SetMask(0);
  m_port.PurgeAll();
  if (m_terminated.IsValid()) m_terminated.Set();
  return 0;
}

void CPadremDevice::Handle(const PadEvent& event, HWND target) {
  if (auto* learn = std::get_if<LearnCode>(&event)) {
    if (HWND window = FindWindowA(nullptr, kLearnWindowTitle)) SendMessageA(window, abi::kVexaMessage, 0, learn->code);
  } else if (auto* command = std::get_if<SendCommand>(&event)) {
    kit::deliverCommand(target, command->command.remote, command->command.command, command->repeat);
  } else if (auto* move = std::get_if<MovePointer>(&event)) {
    movePointer(*move);
  } else if (auto* press = std::get_if<PressButton>(&event)) {
    pressButton(press->button);
  } else if (auto* release = std::get_if<ReleaseButton>(&event)) {
    releaseButton(release->button);
  }
}

bool CPadremDevice::Initialize(HWND owner) {
  const std::string port = m_chosenPort;
  if (port.empty()) return false;
  EndMsgLoop();
  SendStatus(abi::MainCode::kTemporaryStatus, "Initializing device. Please wait..");
  const int result = OpenReceiver(port);
  if (result != kOpened) {
    Release();
    static constexpr const char* kFailures[] = {
        "", "Could not open COM port.\nThe port may be in use by another application.",
        "Could not initialize device.\nCheck if hardware is connected properly.",
        "Bad response from device or device driver.\nCheck hardware."};
    MessageBoxA(owner, kFailures[result], kCaption, MB_OK | MB_ICONINFORMATION);
    SendStatus(abi::MainCode::kDeviceNotInitialised, "Initialization failed. Check hardware.");
    return false;
  }
  // Opened just now: receiving starts on it without opening it again.
  StartReceiving();
  SendStatus(abi::MainCode::kDeviceReady, "");
  MessageBoxA(owner, "Initialization successful.", "PADREM plugin", MB_OK | MB_ICONINFORMATION);
  return true;
}

void CPadremDevice::SendStatus(unsigned code, const char* text) {
  if (HWND host = m_host.load()) kit::sendStatus(host, code, text);
}

}  // namespace vexa::padrem
