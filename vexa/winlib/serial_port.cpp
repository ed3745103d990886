#include "vexa/winlib/serial_port.h"

#include <string>

namespace vexa::win {

bool CSerialPort::Open(const char* name) {
  std::string path = name ? name : "";
  // The device namespace reaches ports above COM9 too.
  if (path.rfind("\\\\", 0) != 0) path = "\\\\.\\" + path;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_FLAG_OVERLAPPED, nullptr);
  m_handle.Attach(h == INVALID_HANDLE_VALUE ? nullptr : h);
  return IsOpen();
}

bool CSerialPort::SetTimeouts(DWORD readInterval, DWORD readPerByte, DWORD readConstant,
                              DWORD writePerByte, DWORD writeConstant) {
  COMMTIMEOUTS t{readInterval, readPerByte, readConstant, writePerByte, writeConstant};
  return SetCommTimeouts(Get(), &t) != FALSE;
}

bool CSerialPort::GetState(DCB& dcb) const {
  dcb = DCB{};
  dcb.DCBlength = sizeof(dcb);
  return GetCommState(Get(), &dcb) != FALSE;
}

bool CSerialPort::SetState(DCB& dcb) { return SetCommState(Get(), &dcb) != FALSE; }

bool CSerialPort::GetProperties(COMMPROP& props) const {
  props = COMMPROP{};
  return GetCommProperties(Get(), &props) != FALSE;
}

static bool startedOrDone(BOOL ok) { return ok || GetLastError() == ERROR_IO_PENDING; }

bool CSerialPort::StartRead(void* buffer, DWORD count, OVERLAPPED& ov) {
  return startedOrDone(ReadFile(Get(), buffer, count, nullptr, &ov));
}

bool CSerialPort::StartWrite(const void* buffer, DWORD count, OVERLAPPED& ov) {
  return startedOrDone(WriteFile(Get(), buffer, count, nullptr, &ov));
}

bool CSerialPort::StartWaitEvent(DWORD& mask, OVERLAPPED& ov) {
  mask = 0;
  return startedOrDone(WaitCommEvent(Get(), &mask, &ov));
}

DWORD CSerialPort::Result(OVERLAPPED& ov, bool wait) {
  DWORD count = 0;
  // Windows reports a read time-out as success with fewer bytes, Wine as
  // ERROR_TIMEOUT; either way the count is what arrived.
  if (!GetOverlappedResult(Get(), &ov, &count, wait ? TRUE : FALSE)) return 0;
  return count;
}

void CSerialPort::CancelPending(OVERLAPPED& ov) {
  if (HasOverlappedIoCompleted(&ov)) return;
  CancelIo(Get());
  Purge(PURGE_RXABORT | PURGE_TXABORT);
  WaitForSingleObject(ov.hEvent, 1000);
}

std::vector<std::wstring> ListPorts(std::wstring_view prefix, int count) {
  std::vector<std::wstring> ports;
  for (int i = 1; i <= count; ++i) {
    const std::wstring name = std::wstring(prefix) + std::to_wstring(i);
    const std::wstring path = L"\\\\.\\" + name;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND) continue;
    CHandle opened(h == INVALID_HANDLE_VALUE ? nullptr : h);  // closed again at once
    ports.push_back(name);
  }
  return ports;
}

}  // namespace vexa::win
