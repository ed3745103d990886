#pragma once
// One COM port opened for overlapped I/O, and the list of ports that exist.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "vexa/winlib/handle.h"

namespace vexa::win {

class CSerialPort {
 public:
  // Exclusive, read and write, overlapped. "COM12" works as well as "COM1".
  bool Open(const char* name);
  bool Close() { return m_handle.Close(); }
  bool IsOpen() const { return m_handle.IsValid(); }
  HANDLE Get() const { return m_handle.Get(); }

  bool SetTimeouts(DWORD readInterval, DWORD readPerByte, DWORD readConstant, DWORD writePerByte,
                   DWORD writeConstant);
  bool GetState(DCB& dcb) const;
  bool SetState(DCB& dcb);
  bool Purge(DWORD flags) { return PurgeComm(Get(), flags) != FALSE; }
  bool PurgeAll() { return Purge(PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR); }
  bool SetMask(DWORD mask) { return SetCommMask(Get(), mask) != FALSE; }
  bool Flush() { return FlushFileBuffers(Get()) != FALSE; }
  bool GetProperties(COMMPROP& props) const;

  // Starts an overlapped operation; true when it completed or is pending.
  bool StartRead(void* buffer, DWORD count, OVERLAPPED& ov);
  bool StartWrite(const void* buffer, DWORD count, OVERLAPPED& ov);
  bool StartWaitEvent(DWORD& mask, OVERLAPPED& ov);
  // Bytes moved by a finished operation; 0 also when it ended in a time-out.
  DWORD Result(OVERLAPPED& ov, bool wait);
  // Ends whatever is pending and waits (bounded) until the system is done
  // with the record, so that it may go out of scope.
  void CancelPending(OVERLAPPED& ov);

 private:
  CHandle m_handle;
};

// An overlapped record with its event.
struct COverlapped {
  OVERLAPPED ov{};
  explicit COverlapped(HANDLE event) { ov.hEvent = event; }
  void Reset() {
    HANDLE event = ov.hEvent;
    ov = OVERLAPPED{};
    ov.hEvent = event;
    ResetEvent(event);
  }
};

// "<prefix>1" .. "<prefix><count>" that exist: a port is listed unless opening
// it fails with ERROR_FILE_NOT_FOUND, so one in use by another program is
// listed too.
std::vector<std::wstring> ListPorts(std::wstring_view prefix, int count);

}  // namespace vexa::win
