#pragma once
// The receiver's end of a serial line: a pseudo-terminal whose other side is
// linked into a Wine prefix as a COM port.
#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

namespace vexa::vremote {

class CPtyLine {
 public:
  CPtyLine() = default;
  ~CPtyLine();
  CPtyLine(const CPtyLine&) = delete;
  CPtyLine& operator=(const CPtyLine&) = delete;

  // Opens a raw pseudo-terminal and links $prefix/dosdevices/comN to its
  // terminal side; returns an error text, empty on success.
  std::string Open(const std::filesystem::path& winePrefix, int comPort);
  void Close();

  int Fd() const { return m_master; }
  const std::string& TerminalPath() const { return m_slavePath; }
  const std::filesystem::path& Link() const { return m_link; }

  bool Write(std::string_view bytes);
  // Whatever arrives within the time-out (empty when nothing did).
  std::string Read(std::chrono::milliseconds timeout);

 private:
  int m_master = -1;
  int m_keepOpen = -1;  // the terminal side held open so the line never hangs up
  std::string m_slavePath;
  std::filesystem::path m_link;
};

}  // namespace vexa::vremote
