#pragma once
// The reception loop's waits on the host's monitor thread: for the first byte
// of a burst, then for the rest of it, each ended at once by the host's named
// terminate event (and by an optional wake event or time-out of the plug-in's
// own). Stopping clears the port's event mask, cancels what is pending and
// closes every handle, so the next start on the same port begins clean.
#include <windows.h>

#include <cstdint>

#include "vexa/winlib/serial_port.h"
#include "vexa/winlib/sync.h"

namespace vexa::kit {

struct ReadTimeouts {
  DWORD interval = 50, perByte = 50, constant = 50;
};

class CPortMonitor {
 public:
  enum class Wake { kTerminate, kWakeEvent, kTimeout, kData };

  // portEventName names the port's manual-reset event (each plug-in its own).
  CPortMonitor(win::CSerialPort& port, const wchar_t* portEventName, ReadTimeouts timeouts = {});
  ~CPortMonitor() { Stop(); }
  CPortMonitor(const CPortMonitor&) = delete;
  CPortMonitor& operator=(const CPortMonitor&) = delete;

  // An event of the plug-in's that also ends a wait (not owned).
  void SetWakeEvent(HANDLE event) { m_wake = event; }
  // (Re)creates the port event and watches for received characters; again
  // after the port was opened anew.
  void Arm();
  bool TerminateSet() const { return m_terminate.Wait(0); }

  // Until a character arrived, the terminate or wake event was set, or the time-out passed.
  Wake WaitForData(DWORD timeoutMs = INFINITE);
  // Up to `count` bytes of the burst (the byte that ended the wait first), ended by
  // the read time-outs; kTerminate when told to stop meanwhile.
  Wake ReadBurst(uint8_t* buffer, DWORD count, DWORD& received);
  void Stop();

 private:
  Wake WaitOn(OVERLAPPED& ov, DWORD timeoutMs);
  Wake WaitForEvent(DWORD timeoutMs);
  Wake ReadFirstByte(DWORD timeoutMs);
  void UseReadTimeouts();

  win::CSerialPort& m_port;
  const wchar_t* m_portEventName;
  ReadTimeouts m_timeouts;
  win::CEvent m_terminate;
  win::CEvent m_portEvent;
  HANDLE m_wake = nullptr;
  // Some ports (Wine's on a pseudo-terminal) end every event wait at once with
  // no event; those are watched with a read of the first byte instead.
  bool m_eventWaitWorks = true;
  uint8_t m_firstByte = 0;
  bool m_haveFirstByte = false;
};

}  // namespace vexa::kit
