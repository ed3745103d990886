#pragma once
// The socket library for the life of this object, and a socket that closes itself.
#include <winsock2.h>

#include <string>

namespace vexa::win {

class CWinsock {
 public:
  // Asks for `version` (MAKEWORD(major, minor)); Started() says whether the library answered.
  explicit CWinsock(WORD version = MAKEWORD(1, 1));
  ~CWinsock();
  CWinsock(const CWinsock&) = delete;
  CWinsock& operator=(const CWinsock&) = delete;

  bool Started() const { return m_started; }
  // What the library said at start: its version, description and status.
  const WSADATA& Data() const { return m_data; }

 private:
  WSADATA m_data{};
  bool m_started = false;
};

class CSocket {
 public:
  CSocket() = default;
  explicit CSocket(SOCKET socket) : m_socket(socket) {}
  ~CSocket() { Close(); }
  CSocket(CSocket&& other) noexcept : m_socket(other.Release()) {}
  CSocket& operator=(CSocket&& other) noexcept;
  CSocket(const CSocket&) = delete;
  CSocket& operator=(const CSocket&) = delete;

  // A stream socket of the address family; false when none could be made.
  bool Open(int family = AF_INET, int type = SOCK_STREAM, int protocol = IPPROTO_TCP);
  bool IsValid() const { return m_socket != INVALID_SOCKET; }
  SOCKET Get() const { return m_socket; }
  SOCKET Release();
  void Close();

 private:
  SOCKET m_socket = INVALID_SOCKET;
};

}  // namespace vexa::win
