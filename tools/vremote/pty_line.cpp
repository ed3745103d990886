#include "tools/vremote/pty_line.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace vexa::vremote {

CPtyLine::~CPtyLine() { Close(); }

static void makeRaw(int fd) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) return;
  cfmakeraw(&t);
  tcsetattr(fd, TCSANOW, &t);
}

std::string CPtyLine::Open(const std::filesystem::path& winePrefix, int comPort) {
  Close();
  m_master = posix_openpt(O_RDWR | O_NOCTTY);
  if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
    return std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
  m_slavePath = ptsname(m_master);
  m_keepOpen = ::open(m_slavePath.c_str(), O_RDWR | O_NOCTTY);
  makeRaw(m_master);
  if (m_keepOpen >= 0) makeRaw(m_keepOpen);

  const std::filesystem::path devices = winePrefix / "dosdevices";
  if (!std::filesystem::is_directory(devices))
    return "no Wine prefix at " + winePrefix.string() + " (dosdevices is missing)";
  m_link = devices / ("com" + std::to_string(comPort));
  std::error_code ec;
  std::filesystem::remove(m_link, ec);
  std::filesystem::create_symlink(m_slavePath, m_link, ec);
  if (ec) return "cannot link " + m_link.string() + ": " + ec.message();
  return {};
}

void CPtyLine::Close() {
  if (!m_link.empty()) {
    std::error_code ec;
    // Only our own link: another program may have claimed the port since.
    if (std::filesystem::read_symlink(m_link, ec) == m_slavePath) std::filesystem::remove(m_link, ec);
    m_link.clear();
  }
  if (m_keepOpen >= 0) ::close(m_keepOpen);
  if (m_master >= 0) ::close(m_master);
  m_keepOpen = m_master = -1;
}

bool CPtyLine::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(m_master, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

std::string CPtyLine::Read(std::chrono::milliseconds timeout) {
  pollfd p{m_master, POLLIN, 0};
  if (::poll(&p, 1, static_cast<int>(timeout.count())) <= 0 || !(p.revents & POLLIN)) return {};
  char buffer[256];
  const ssize_t n = ::read(m_master, buffer, sizeof(buffer));
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

}  // namespace vexa::vremote
