#pragma once
// The plug-in's one process-wide object: the receiver on its COM port, the
// receiving worker, the settings and the command store.
#include <windows.h>

#include <atomic>
#include <string>

#include "plugins/padrem/packet_decoder.h"
#include "plugins/padrem/win/driver_window.h"
#include "plugins/padrem/win/vendor_driver.h"
#include "plugins/padrem/padrem_settings.h"
#include "plugins/store/command_store.h"
#include "plugins/store/store_enumeration.h"
#include "vexa/winlib/handle.h"
#include "vexa/winlib/serial_port.h"
#include "vexa/winlib/sync.h"

namespace vexa::padrem {

// What opening the receiver gives.
enum OpenResult { kOpened = 0, kPortFailed = 1, kNoReceiver = 2, kDriverFailed = 3 };

class CPadremDevice {
 public:
  static CPadremDevice& Instance();

  store::CCommandStore& Store() { return m_store; }
  store::CStoreEnumeration& Names() { return m_names; }
  HWND HostWindow() const { return m_host.load(); }
  void SetHostWindow(HWND host) { m_host = host; }

  int ReadConfig(HKEY key);
  int WriteConfig(HKEY key);
  int SavePreset(const char* file);
  int LoadPreset(const char* file);

  // Settings as the dialog has them, and the saved ones.
  const Settings& Saved() const { return m_saved; }
  void ChoosePort(const std::string& port);
  const std::string& ChosenPort() const { return m_chosenPort; }
  const std::string& OpenPort() const { return m_openPort; }
  const std::string& StatusLine() const { return m_statusLine; }
  bool PortOpen() const { return m_port.IsOpen(); }
  bool UsingDriver() const { return m_driver.IsOpen(); }
  // The receiver can learn: through the driver, or on the port the dialog shows.
  bool ReceiverOpen() const { return UsingDriver() || PortOpen(); }
  // Read by the worker: set here, never taken from a control.
  void SetMousepad(bool on) { m_mousepad = on; }
  bool Mousepad() const { return m_mousepad; }
  void SetLearning(bool on) { m_learning = on; }
  bool Learning() const { return m_learning; }

  int OpenReceiver(const std::string& port);
  int StartMsgLoop(HWND target);
  void EndMsgLoop();
  void Release();
  // The worker's body.
  int MsgLoop(HWND target);
  // The dialog's "Initialize": true when the receiver runs.
  bool Initialize(HWND owner);

 private:
  CPadremDevice() = default;
  // On the receiver as it is open: the driver's window attached, or the worker started.
  int StartReceiving();
  static DWORD WINAPI WorkerMain(void* target);
  void Handle(const PadEvent& event, HWND target);
  void PowerLines(DCB& dcb, bool on);
  void ClosePort();
  void SendStatus(unsigned code, const char* text);

  store::CCommandStore m_store;
  store::CStoreEnumeration m_names{m_store};
  Settings m_saved;
  std::string m_chosenPort = kDefaultPort;
  std::string m_openPort;
  std::string m_statusLine;
  std::atomic<bool> m_mousepad{false};
  std::atomic<bool> m_learning{false};
  std::atomic<HWND> m_host{nullptr};  // read by the worker
  win::CSerialPort m_port;
  win::CEvent m_terminate;
  win::CEvent m_terminated;
  win::CHandle m_worker;
  CVendorDriver m_driver;
  CDriverWindow m_driverWindow{{[this] { return m_learning.load(); },
                                [this](uint32_t code) { return m_store.firstWithCode(code); },
                                [this] { return m_host.load(); }}};
};

}  // namespace vexa::padrem
