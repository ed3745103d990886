#include "plugins/tunerbox/win/tunerbox_device.h"

#include "plugins/kit/win/delivery.h"
#include "plugins/store/preset_form.h"
#include "plugins/store/win/preset_file.h"
#include "plugins/store/win/registry_key.h"
#include "plugins/tunerbox/card_table.h"
#include "plugins/tunerbox/default_remote.h"
#include "plugins/tunerbox/gpio_settings.h"
#include "plugins/tunerbox/poll_filter.h"
#include "plugins/tunerbox/win/setup_wizard.h"
#include "plugins/tunerbox/win/tunerbox_dialog.h"
#include "plugins/tunerbox/win/tunerbox_texts.h"
#include "vexa/device/plugin_abi.h"

namespace vexa::tunerbox {
namespace {

constexpr const wchar_t* kTerminateName = L"TerminateTunerbox";

const store::PresetFormat& presetFormat() {
  static const store::PresetFormat format{store::PresetFormat::Radix::kHex, {"Plugin Config", "Device Config"}};
  return format;
}

// The I2C lines need their waits measured, not slept: a sleep lasts a timer tick.
void waitMicroseconds(uint32_t microseconds) {
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  const LONGLONG ticks = frequency.QuadPart * microseconds / 1'000'000 + 1;
  do {
    if (microseconds >= 1000) SwitchToThread();
    QueryPerformanceCounter(&now);
  } while (now.QuadPart - start.QuadPart < ticks);
}

// Waits for a thread while this thread's windows keep answering: the worker
// sends to them and would otherwise never get to its end.
bool waitDispatching(HANDLE thread, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
    const DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, left, QS_SENDMESSAGE);
    if (woke == WAIT_OBJECT_0) return true;
    if (woke != WAIT_OBJECT_0 + 1) return false;
    // Only sent messages: they are what the worker waits on.
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace

CTunerboxDevice& CTunerboxDevice::Instance() {
  // Never destroyed: at process exit the loader lock is held, and stopping
  // the worker or unloading the hardware library then can block.
  static CTunerboxDevice* device = new CTunerboxDevice;
  return *device;
}

bool CTunerboxDevice::UsesMicrocontroller() const {
  // In use, not merely seen: after Release the next initialisation decides again.
  std::lock_guard lock(m_cardLock);
  return m_initialised && m_card && m_card->chipFound() && m_card->microcontrollerAddress() != 0;
}

std::string CTunerboxDevice::CardName() const {
  std::lock_guard lock(m_cardLock);
  if (!m_card || !m_card->chipFound()) return {};
  return std::string(cardName(m_card->model()));
}

int CTunerboxDevice::ReadConfig(HKEY key) {
  store::CRegistryKey settings = store::CRegistryKey::Borrow(key);
  GpioConfig config = readGpioConfig(settings);
  if (UsesMicrocontroller()) config = {};
  {
    std::lock_guard lock(m_cardLock);
    m_config = config;
    if (config.mask && m_card && m_card->chipFound()) m_card->applyGpio(config);
  }
  return store::readCommands(settings, m_store) ? 1 : 0;
}

int CTunerboxDevice::WriteConfig(HKEY key) {
  store::CRegistryKey settings = store::CRegistryKey::Borrow(key);
  bool ok = settings.deleteTree(store::kCommandsKey);
  ok = writeGpioConfig(settings, m_config) && ok;
  return store::writeCommands(settings, m_store) && ok ? 1 : 0;
}

int CTunerboxDevice::SavePreset(const char* file) {
  store::CPresetFile preset(file);
  store::saveCommands(preset, presetFormat(), m_store);
  return 1;
}

int CTunerboxDevice::LoadPreset(const char* file) {
  SendStatus(abi::MainCode::kDeviceNotInitialised, "Loading configuration...");
  store::CPresetFile preset(file);
  EndMsgLoop();
  const bool hardware = InitializeHardware();
  if (!hardware) SendStatus(abi::MainCode::kDeviceNotInitialised, "Hardware not properly initialized. Check settings.");
  const store::PresetLoad load = store::loadCommands(preset, presetFormat(), m_store);
  if (hardware) SendStatus(abi::MainCode::kDeviceReady);
  if (!load.complete())
    MessageBoxA(m_host.load(),
                "Not all commands were imported properly!\nPlease check your Hardware Setup for missing commands.",
                "WARNING!", MB_OK | MB_ICONWARNING);
  return hardware ? 1 : 0;
}

bool CTunerboxDevice::InitializeHardware() {
  if (!m_hardware.Bind()) {
    MessageBoxA(nullptr, kDriverFailedText, kCaption, MB_OK | MB_ICONERROR | MB_TASKMODAL);
    m_initialised = false;
    return false;
  }
  bool ok = false;
  bool microcontroller = false;
  {
    std::lock_guard lock(m_cardLock);
    if (!m_card) m_card = std::make_unique<CTvCard>(m_hardware, &waitMicroseconds);
    if (m_card->findChip()) {
      m_card->identify();
      microcontroller = m_card->findMicrocontroller() != 0;
    }
    if (microcontroller) ok = true;
    else ok = m_card->chipFound() && m_config.mask != 0 && m_card->applyGpio(m_config);
  }
  m_initialised = ok;
  if (microcontroller && ensureHauppaugeRemote(m_store)) {
    CTunerboxDialog::Refresh();
    if (HWND host = m_host.load()) SendMessageA(host, abi::kVexaMessage, abi::MainCode::kSettingsChanged, 0);
  }
  ShowHardwareState();
  if (!ok) ArmRetry();
  return ok;
}

void CTunerboxDevice::ShowHardwareState() {
  if (UsesMicrocontroller()) m_statusLine = kMicrocontrollerStatus;
  else m_statusLine = m_initialised ? kConfiguredStatus : kRunWizardStatus;
  if (!CTunerboxDialog::Current()) return;
  CTunerboxDialog::Refresh();
  SendStatus(m_initialised ? abi::MainCode::kDeviceReady : abi::MainCode::kDeviceNotInitialised);
}

void CTunerboxDevice::ArmRetry() {
  if (m_retries >= kMaxRetries || m_retryTimer || m_wizardRunning) return;
  ++m_retries;
  m_retryTimer = SetTimer(nullptr, 0, kRetryDelayMs, &CTunerboxDevice::RetryTimer);
}

void CTunerboxDevice::CancelRetry() {
  if (m_retryTimer) KillTimer(nullptr, m_retryTimer);
  m_retryTimer = 0;
}

void CALLBACK CTunerboxDevice::RetryTimer(HWND, UINT, UINT_PTR id, DWORD) {
  CTunerboxDevice& device = Instance();
  KillTimer(nullptr, id);
  if (device.m_retryTimer != id) return;
  device.m_retryTimer = 0;
  device.EndMsgLoop();
  if (device.StartMsgLoop(nullptr)) device.SendStatus(abi::MainCode::kDeviceReady);
}

int CTunerboxDevice::StartMsgLoop(HWND target) {
  if (target) m_host = target;
  if (!m_learning) {
    EndMsgLoop();
    CTunerboxDialog::TakeData();
    if (!InitializeHardware()) return 0;
  } else if (m_worker.IsValid()) {
    return 1;  // learning keeps the running worker
  }
  if (!m_terminate.IsValid() && !m_terminate.Create(kTerminateName, true, false)) return 0;
  m_terminate.Reset();
  m_worker.Attach(CreateThread(nullptr, 0, &CTunerboxDevice::WorkerMain, target, 0, nullptr));
  return m_worker.IsValid() ? 1 : 0;
}

void CTunerboxDevice::EndMsgLoop() {
  if (!m_worker.IsValid()) return;
  if (!m_worker.Wait(0)) {
    m_terminate.Set();
    if (!waitDispatching(m_worker.Get(), kStopWaitMs)) TerminateThread(m_worker.Get(), 0xFFFFFFFF);
  }
  m_worker.Close();
}

void CTunerboxDevice::Release() {
  EndMsgLoop();
  CancelRetry();
  m_initialised = false;
  m_retries = 0;
}

void CTunerboxDevice::Reinitialize() {
  SendStatus(abi::MainCode::kInitialising);
  EndMsgLoop();
  if (!StartMsgLoop(nullptr)) SendStatus(abi::MainCode::kDeviceNotInitialised);
}

void CTunerboxDevice::RunWizard(HWND owner) {
  EndMsgLoop();
  CancelRetry();
  m_wizardRunning = true;
  bool chip = false;
  {
    std::lock_guard lock(m_cardLock);
    chip = m_card && m_card->chipFound();
  }
  if (!chip) {
    InitializeHardware();
    std::lock_guard lock(m_cardLock);
    chip = m_card && m_card->chipFound();
  }
  if (chip) {
    const WizardCard card{
        [this] {
          std::lock_guard lock(m_cardLock);
          return m_card->registers().read(reg::gpioData);
        },
        [this] {
          std::lock_guard lock(m_cardLock);
          return m_card->registers().read(reg::gpioOutputEnable);
        },
        [this](uint32_t value) {
          std::lock_guard lock(m_cardLock);
          m_card->registers().write(reg::gpioOutputEnable, value);
        },
        [this] {
          std::lock_guard lock(m_cardLock);
          return m_card->findMicrocontroller();
        }};
    const WizardOutcome outcome = runSetupWizard(owner, card);
    if (outcome.finished) {
      if (HWND host = m_host.load()) SendMessageA(host, abi::kVexaMessage, abi::MainCode::kSettingsChanged, 0);
      if (outcome.microcontroller) ensureHauppaugeRemote(m_store);
      else m_config = outcome.config;
      CTunerboxDialog::Refresh();
    }
  }
  m_wizardRunning = false;
  if (!StartMsgLoop(nullptr)) SendStatus(abi::MainCode::kDeviceNotInitialised);
}

DWORD WINAPI CTunerboxDevice::WorkerMain(void* target) {
  return static_cast<DWORD>(Instance().MsgLoop(static_cast<HWND>(target)));
}

int CTunerboxDevice::MsgLoop(HWND target) {
  win::CEvent terminate;
  if (!terminate.Create(kTerminateName, true, false)) return 0;
  {
    std::lock_guard lock(m_cardLock);
    if (!m_card) return 0;
    for (int i = 0; i < kWarmUpReads; ++i) m_card->readReceiver();
  }
  CPollFilter filter;
  filter.start(CPollFilter::Clock::now());
  // Polls keep to their 50 ms beat: the time a poll takes is not added to the wait.
  auto next = CPollFilter::Clock::now() + kPollInterval;
  for (;;) {
    const auto now = CPollFilter::Clock::now();
    if (next < now) next = now;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - now).count();
    if (WaitForSingleObject(terminate.Get(), static_cast<DWORD>(wait)) != WAIT_TIMEOUT) break;
    next += kPollInterval;
    std::optional<uint32_t> code;
    {
      std::lock_guard lock(m_cardLock);
      code = m_card->readReceiver();
    }
    if (!code || !filter.accept(*code, CPollFilter::Clock::now())) continue;
    if (m_learning) {
      if (HWND learn = FindWindowA(nullptr, abi::kLearnWindowTitle))
        SendMessageA(learn, abi::kVexaMessage, 0, static_cast<LPARAM>(*code));
      continue;
    }
    HWND to = target ? target : m_host.load();
    for (const store::FoundCommand& found : m_store.firstWithCodePerRemote(*code)) {
      if (WaitForSingleObject(terminate.Get(), 0) == WAIT_OBJECT_0) return 0;
      kit::deliverCommand(to, found.remote, found.command, 0);
    }
  }
  return 0;
}

void CTunerboxDevice::DeliverCode(uint32_t code) {
  if (m_learning) {
    if (HWND learn = FindWindowA(nullptr, abi::kLearnWindowTitle))
      PostMessageA(learn, abi::kVexaMessage, 0, static_cast<LPARAM>(code));
    return;
  }
  HWND host = m_host.load();
  if (!host || !IsWindow(host)) return;
  for (const store::FoundCommand& found : m_store.firstWithCodePerRemote(code))
    kit::deliverCommand(host, found.remote, found.command, 0);
}

void CTunerboxDevice::SendStatus(unsigned code, const char* text) {
  if (HWND host = m_host.load()) kit::sendStatus(host, code, text);
}

}  // namespace vexa::tunerbox
