#include "vexa/winlib/socket.h"

#include <utility>

namespace vexa::win {

CWinsock::CWinsock(WORD version) { m_started = WSAStartup(version, &m_data) == 0; }

CWinsock::~CWinsock() {
  if (m_started) WSACleanup();
}

CSocket& CSocket::operator=(CSocket&& other) noexcept {
  if (this != &other) {
    Close();
    m_socket = other.Release();
  }
  return *this;
}

bool CSocket::Open(int family, int type, int protocol) {
  Close();
  m_socket = socket(family, type, protocol);
  return IsValid();
}

SOCKET CSocket::Release() { return std::exchange(m_socket, INVALID_SOCKET); }

void CSocket::Close() {
  if (IsValid()) closesocket(Release());
}

}  // namespace vexa::win
