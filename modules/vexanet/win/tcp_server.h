#pragma once
// The server behind vexanet.dll's exports: a listening socket, up to
// kMaxClients clients, and one thread that accepts, drains what clients send
// (it means nothing) and flushes what could not be sent at once. Sending
// never waits on a client: what a socket does not take is queued, and a
// client whose queue is full is dropped.
#include <winsock2.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "modules/vexanet/client_queue.h"

namespace vexanet {

class CTcpServer {
 public:
  static constexpr size_t kMaxClients = 16;

  CTcpServer() = default;
  ~CTcpServer() {
    Stop();
    if (m_log) std::fclose(m_log);
  }
  CTcpServer(const CTcpServer&) = delete;
  CTcpServer& operator=(const CTcpServer&) = delete;

  // Options of SetOptions: bit 1 writes a log beside the module.
  void SetLog(const std::filesystem::path& file);
  // A null address listens on every interface. 0 on success, else the socket error.
  int Start(const char* bindAddress, int port);
  void Stop();
  bool Running() const { return m_listen != INVALID_SOCKET; }
  // 0 when every client took or queued the line, else the socket error of a client that had to go.
  int Send(const std::string& line);

 private:
  struct Client {
    SOCKET socket;
    CClientQueue queue;
  };
  void Serve();
  void Accept();
  // False when the client is gone or broken.
  bool Drain(Client& client);
  int Flush(Client& client);
  void Drop(size_t index, const char* why);
  void Log(const char* format, ...);

  SOCKET m_listen = INVALID_SOCKET;
  bool m_wsaStarted = false;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
  std::mutex m_mutex;  // the clients, between Send and the serving thread
  std::vector<std::unique_ptr<Client>> m_clients;
  std::FILE* m_log = nullptr;
};

}  // namespace vexanet
