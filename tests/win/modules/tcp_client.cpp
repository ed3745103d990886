#include "tcp_client.h"

#include <algorithm>

namespace vexa::test {

bool CTcpClient::Connect(int port) {
  Close();
  m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return m_socket != INVALID_SOCKET &&
         connect(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
}

int CTcpClient::Receive(unsigned timeoutMs) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(m_socket, &readable);
  timeval timeout{static_cast<long>(timeoutMs / 1000), static_cast<long>(timeoutMs % 1000) * 1000};
  if (select(0, &readable, nullptr, nullptr, &timeout) <= 0) return -1;
  char buffer[4096];
  const int got = recv(m_socket, buffer, sizeof(buffer), 0);
  if (got <= 0) return 0;
  m_pending.append(buffer, static_cast<size_t>(got));
  return got;
}

std::string CTcpClient::ReadLine(unsigned timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (true) {
    if (const size_t nl = m_pending.find('\n'); nl != std::string::npos) {
      std::string line = m_pending.substr(0, nl);
      m_pending.erase(0, nl + 1);
      return line;
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline || Receive(static_cast<unsigned>(deadline - now)) <= 0) return {};
  }
}

bool CTcpClient::ClosedByServer(unsigned timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (GetTickCount64() < deadline) {
    const int got = Receive(static_cast<unsigned>(deadline - GetTickCount64()));
    if (got == 0) return true;
    m_pending.clear();
  }
  return false;
}

bool CTcpClient::Send(const std::string& bytes) {
  return send(m_socket, bytes.data(), static_cast<int>(bytes.size()), 0) == static_cast<int>(bytes.size());
}

void CTcpClient::Abort() {
  linger reset{1, 0};
  setsockopt(m_socket, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&reset), sizeof(reset));
  Close();
}

void CTcpClient::Close() {
  if (m_socket != INVALID_SOCKET) closesocket(m_socket);
  m_socket = INVALID_SOCKET;
  m_pending.clear();
}

void CTcpClient::ShrinkReceiveBuffer() {
  int size = 1024;
  setsockopt(m_socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&size), sizeof(size));
}

int freePort() {
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  int length = sizeof(address);
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  closesocket(s);
  return ntohs(address.sin_port);
}

bool syncClients(const std::function<void(uint32_t n)>& sendSync, const std::vector<CTcpClient*>& clients,
                 uint32_t& sent, unsigned timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  std::vector<bool> reached(clients.size(), false);
  while (std::find(reached.begin(), reached.end(), false) != reached.end()) {
    const ULONGLONG round = GetTickCount64();
    if (round >= deadline) return false;
    sendSync(++sent);
    for (size_t i = 0; i < clients.size(); ++i)
      if (!reached[i]) reached[i] = clients[i]->ReadLine(20).starts_with("Sync\tTest\t");
    // A closed client answers at once: one line per 20 ms all the same.
    if (const ULONGLONG spent = GetTickCount64() - round; spent < 20) Sleep(static_cast<DWORD>(20 - spent));
  }
  sendSync(++sent);
  const std::string last = "Sync\tTest\t" + std::to_string(sent);
  for (CTcpClient* client : clients)
    for (std::string line; line != last;) {
      const ULONGLONG now = GetTickCount64();
      if (now >= deadline) return false;
      line = client->ReadLine(static_cast<unsigned>(deadline - now));
    }
  return true;
}

}  // namespace vexa::test
