#pragma once
// The plug-in's one process-wide object: the binding to the hardware-access
// library, the card, the polling worker, the GPIO settings and the store.
#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "plugins/store/command_store.h"
#include "plugins/store/store_enumeration.h"
#include "plugins/tunerbox/receiver_decoder.h"
#include "plugins/tunerbox/tv_card.h"
#include "plugins/tunerbox/win/hwport_binding.h"
#include "vexa/winlib/handle.h"
#include "vexa/winlib/sync.h"

namespace vexa::tunerbox {

inline constexpr int kMaxRetries = 3;
inline constexpr UINT kRetryDelayMs = 750;
inline constexpr DWORD kStopWaitMs = 3000;

class CTunerboxDevice {
 public:
  static CTunerboxDevice& Instance();

  store::CCommandStore& Store() { return m_store; }
  store::CStoreEnumeration& Names() { return m_names; }
  HWND HostWindow() const { return m_host.load(); }
  void SetHostWindow(HWND host) { m_host = host; }
  void SetLearning(bool on) { m_learning = on; }
  bool Learning() const { return m_learning; }
  bool Initialised() const { return m_initialised; }
  bool UsesMicrocontroller() const;
  std::string CardName() const;
  const std::string& StatusLine() const { return m_statusLine; }

  int ReadConfig(HKEY key);
  int WriteConfig(HKEY key);
  int SavePreset(const char* file);
  int LoadPreset(const char* file);

  int StartMsgLoop(HWND target);
  void EndMsgLoop();
  void Release();
  // The worker's body.
  int MsgLoop(HWND target);
  // The dialog's "Initialize".
  void Reinitialize();
  // The dialog's "Start Wizard": the receiver stops for the wizard and starts again after it.
  void RunWizard(HWND owner);
  // A code that came by other means than the receiver (the data-copy message).
  void DeliverCode(uint32_t code);

 private:
  CTunerboxDevice() = default;
  bool InitializeHardware();
  void ShowHardwareState();
  void ArmRetry();
  void CancelRetry();
  static void CALLBACK RetryTimer(HWND, UINT, UINT_PTR id, DWORD);
  static DWORD WINAPI WorkerMain(void* target);
  void SendStatus(unsigned code, const char* text = "");

  store::CCommandStore m_store;
  store::CStoreEnumeration m_names{m_store};
  CHwportBinding m_hardware;
  // The worker polls it while the user-interface thread may set it up again.
  mutable std::mutex m_cardLock;
  std::unique_ptr<CTvCard> m_card;
  GpioConfig m_config;
  std::string m_statusLine;
  std::atomic<bool> m_learning{false};
  std::atomic<bool> m_initialised{false};
  std::atomic<HWND> m_host{nullptr};  // read by the worker
  int m_retries = 0;
  UINT_PTR m_retryTimer = 0;
  // The wizard owns the card while it runs: no retry may start the receiver.
  bool m_wizardRunning = false;
  win::CEvent m_terminate;
  win::CHandle m_worker;
};

}  // namespace vexa::tunerbox
