#pragma once
// A network client of the server module, as a test plays it.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vexa::test {

class CWinsock {
 public:
  CWinsock() { WSAStartup(MAKEWORD(2, 2), &m_data); }
  ~CWinsock() { WSACleanup(); }
  CWinsock(const CWinsock&) = delete;
  CWinsock& operator=(const CWinsock&) = delete;

 private:
  WSADATA m_data{};
};

class CTcpClient {
 public:
  CTcpClient() = default;
  ~CTcpClient() { Close(); }
  CTcpClient(const CTcpClient&) = delete;
  CTcpClient& operator=(const CTcpClient&) = delete;

  bool Connect(int port);
  // One line without its LF; empty after the time-out or when the server closed.
  std::string ReadLine(unsigned timeoutMs = 3000);
  // True when the server closed the connection within the time-out (data before it is read and dropped).
  bool ClosedByServer(unsigned timeoutMs = 3000);
  bool Send(const std::string& bytes);
  // Resets instead of a clean close, as a crashed client would.
  void Abort();
  void Close();
  // Stops the kernel from taking more than a little of what the server sends.
  void ShrinkReceiveBuffer();

 private:
  // Bytes read within the time-out; 0 at the end, -1 after the time-out.
  int Receive(unsigned timeoutMs);

  SOCKET m_socket = INVALID_SOCKET;
  std::string m_pending;
};

// A port nobody listens on right now.
int freePort();

// Sends numbered lines "Sync\tTest\t<n>" through `sendSync` until each client
// read one, then reads each up to the last: the server serves them all, and
// the next line each reads is the next one sent. `sent` counts on over the
// calls of a test, so that a line of an earlier call is never taken for the
// last. False after the time-out.
bool syncClients(const std::function<void(uint32_t n)>& sendSync, const std::vector<CTcpClient*>& clients,
                 uint32_t& sent, unsigned timeoutMs = 10000);

}  // namespace vexa::test
