#include "support/win/receiver_sim.h"

namespace vexa::test {

bool CReceiverSim::Start(const char* port) {
  HANDLE h = CreateFileA(port, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  m_port.Attach(h);
  COMMTIMEOUTS t{10, 0, 20, 0, 500};
  SetCommTimeouts(h, &t);
  PurgeComm(h, PURGE_RXCLEAR | PURGE_TXCLEAR);
  m_stop.CreateAnonymous(true, false);
  m_thread.Attach(CreateThread(nullptr, 0, &CReceiverSim::ThreadMain, this, 0, nullptr));
  return m_thread.IsValid();
}

void CReceiverSim::Stop() {
  if (!m_thread) return;
  m_stop.Set();
  m_thread.Wait(5000);
  m_thread.Close();
  m_port.Close();
}

bool CReceiverSim::Send(const std::string& bytes) {
  win::CEvent done;
  done.CreateAnonymous(true, false);
  OVERLAPPED ov{};
  ov.hEvent = done.Get();
  DWORD written = 0;
  if (!WriteFile(m_port.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &ov) &&
      GetLastError() != ERROR_IO_PENDING)
    return false;
  return GetOverlappedResult(m_port.Get(), &ov, &written, TRUE) && written == bytes.size();
}

std::string CReceiverSim::Received() const {
  std::lock_guard lock(m_lock);
  return m_received;
}

DWORD WINAPI CReceiverSim::ThreadMain(void* self) {
  static_cast<CReceiverSim*>(self)->Run();
  return 0;
}

void CReceiverSim::Run() {
  win::CEvent readDone;
  readDone.CreateAnonymous(true, false);
  while (!m_stop.Wait(0)) {
    if (m_endless) Send(std::string(8, 'X'));
    char buffer[64];
    OVERLAPPED ov{};
    ov.hEvent = readDone.Get();
    readDone.Reset();
    DWORD count = 0;
    if (!ReadFile(m_port.Get(), buffer, sizeof(buffer), nullptr, &ov) && GetLastError() != ERROR_IO_PENDING) {
      Sleep(10);
      continue;
    }
    if (!GetOverlappedResult(m_port.Get(), &ov, &count, TRUE)) count = 0;
    if (count > 0) OnBytes(buffer, count);
  }
}

void CReceiverSim::OnBytes(const char* bytes, DWORD count) {
  bool sawInit = false;
  {
    std::lock_guard lock(m_lock);
    m_received.append(bytes, count);
    const size_t at = m_received.find("IR", m_scanFrom);
    if (at != std::string::npos) {
      m_scanFrom = at + 2;
      sawInit = true;
    }
  }
  if (!sawInit) return;
  ++m_inits;
  Answer();
}

void CReceiverSim::Answer() {
  if (m_answerDelayMs) Sleep(m_answerDelayMs);
  switch (m_answer) {
    case Answer::kIrman: Send("OK"); break;
    case Answer::kWrong: Send("ERR"); break;
    case Answer::kNulSeparated: Send(std::string("\0O\0K\0", 5)); break;
    case Answer::kEndless: m_endless = true; break;
    case Answer::kOkLineEnd: Send("OK\r\n"); break;
    case Answer::kSilent: break;
  }
}

}  // namespace vexa::test
