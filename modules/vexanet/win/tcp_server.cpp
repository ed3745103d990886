#include "modules/vexanet/win/tcp_server.h"

#include <ws2tcpip.h>

#include <cstdarg>

namespace vexanet {

namespace {

constexpr long kSelectTimeoutUs = 20000;

bool wouldBlock(int error) { return error == WSAEWOULDBLOCK || error == WSAEINPROGRESS; }

void makeNonBlocking(SOCKET s) {
  u_long on = 1;
  ioctlsocket(s, FIONBIO, &on);
}

}  // namespace

void CTcpServer::SetLog(const std::filesystem::path& file) {
  std::lock_guard lock(m_mutex);
  if (m_log) std::fclose(m_log);
  m_log = file.empty() ? nullptr : _wfopen(file.c_str(), L"a");
}

void CTcpServer::Log(const char* format, ...) {
  if (!m_log) return;
  va_list args;
  va_start(args, format);
  std::vfprintf(m_log, format, args);
  va_end(args);
  std::fputc('\n', m_log);
  std::fflush(m_log);
}

int CTcpServer::Start(const char* bindAddress, int port) {
  Stop();
  if (port <= 0 || port > 65535) return WSAEINVAL;
  WSADATA data;
  if (const int error = WSAStartup(MAKEWORD(2, 2), &data)) return error;
  m_wsaStarted = true;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  if (bindAddress && inet_pton(AF_INET, bindAddress, &address.sin_addr) != 1) {
    Stop();
    return WSAEINVAL;
  }
  m_listen = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (m_listen == INVALID_SOCKET ||
      bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == SOCKET_ERROR ||
      listen(m_listen, SOMAXCONN) == SOCKET_ERROR) {
    const int error = WSAGetLastError();
    Stop();
    return error;
  }
  makeNonBlocking(m_listen);
  m_stop = false;
  m_thread = std::thread([this] { Serve(); });
  std::lock_guard lock(m_mutex);
  Log("listening on %s:%d", bindAddress ? bindAddress : "*", port);
  return 0;
}

void CTcpServer::Stop() {
  m_stop = true;
  if (m_thread.joinable()) m_thread.join();
  std::lock_guard lock(m_mutex);
  for (auto& client : m_clients) closesocket(client->socket);
  m_clients.clear();
  if (m_listen != INVALID_SOCKET) {
    closesocket(m_listen);
    m_listen = INVALID_SOCKET;
    Log("stopped");
  }
  if (m_wsaStarted) WSACleanup();
  m_wsaStarted = false;
}

int CTcpServer::Send(const std::string& line) {
  std::lock_guard lock(m_mutex);
  int failure = 0;
  for (size_t i = m_clients.size(); i-- > 0;) {
    Client& client = *m_clients[i];
    if (!client.queue.Push(line)) {
      failure = WSAENOBUFS;
      // What its socket still holds is of no use to it any more.
      linger discard{1, 0};
      setsockopt(client.socket, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&discard), sizeof(discard));
      Drop(i, "stopped reading");
      continue;
    }
    if (const int error = Flush(client)) {
      failure = error;
      Drop(i, "send failed");
    }
  }
  Log("sent %.*s", static_cast<int>(line.size() ? line.size() - 1 : 0), line.c_str());
  return failure;
}

int CTcpServer::Flush(Client& client) {
  while (!client.queue.Empty()) {
    const std::string_view bytes = client.queue.Front();
    const int sent = send(client.socket, bytes.data(), static_cast<int>(bytes.size()), 0);
    if (sent == SOCKET_ERROR) {
      const int error = WSAGetLastError();
      return wouldBlock(error) ? 0 : error;
    }
    client.queue.Consume(static_cast<size_t>(sent));
  }
  return 0;
}

bool CTcpServer::Drain(Client& client) {
  char buffer[512];
  while (true) {
    const int got = recv(client.socket, buffer, sizeof(buffer), 0);
    if (got > 0) continue;  // clients have nothing to say to us
    return got == SOCKET_ERROR && wouldBlock(WSAGetLastError());
  }
}

void CTcpServer::Drop(size_t index, const char* why) {
  closesocket(m_clients[index]->socket);
  m_clients.erase(m_clients.begin() + static_cast<std::ptrdiff_t>(index));
  Log("client dropped: %s", why);
}

void CTcpServer::Accept() {
  while (true) {
    const SOCKET s = accept(m_listen, nullptr, nullptr);
    if (s == INVALID_SOCKET) return;
    std::lock_guard lock(m_mutex);
    if (m_clients.size() >= kMaxClients) {
      closesocket(s);
      Log("client refused: too many clients");
      continue;
    }
    makeNonBlocking(s);
    BOOL noDelay = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof(noDelay));
    m_clients.push_back(std::make_unique<Client>(Client{s, CClientQueue()}));
    Log("client connected");
  }
}

void CTcpServer::Serve() {
  while (!m_stop) {
    fd_set readable, writable;
    FD_ZERO(&readable);
    FD_ZERO(&writable);
    FD_SET(m_listen, &readable);
    {
      std::lock_guard lock(m_mutex);
      for (const auto& client : m_clients) {
        FD_SET(client->socket, &readable);
        if (!client->queue.Empty()) FD_SET(client->socket, &writable);
      }
    }
    timeval timeout{0, kSelectTimeoutUs};
    if (select(0, &readable, &writable, nullptr, &timeout) <= 0) continue;
    if (FD_ISSET(m_listen, &readable)) Accept();
    std::lock_guard lock(m_mutex);
    for (size_t i = m_clients.size(); i-- > 0;) {
      Client& client = *m_clients[i];
      if (FD_ISSET(client.socket, &readable) && !Drain(client)) {
        Drop(i, "disconnected");
        continue;
      }
      if (FD_ISSET(client.socket, &writable) && Flush(client) != 0) Drop(i, "send failed");
    }
  }
}

}  // namespace vexanet
