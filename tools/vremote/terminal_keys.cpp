#include "tools/vremote/terminal_keys.h"

#include <termios.h>
#include <unistd.h>

namespace vexa::vremote {

std::optional<std::string> CKeyDecoder::Feed(char c) {
  if (!m_sequence.empty() || c == '\x1b') {
    m_sequence += c;
    if (m_sequence.size() < 3) return std::nullopt;
    const std::string seq = m_sequence;
    m_sequence.clear();
    if (seq == "\x1b[A" || seq == "\x1bOA") return "Up";
    if (seq == "\x1b[B" || seq == "\x1bOB") return "Down";
    if (seq == "\x1b[C" || seq == "\x1bOC") return "Right";
    if (seq == "\x1b[D" || seq == "\x1bOD") return "Left";
    return std::nullopt;
  }
  if (c >= '0' && c <= '9') return std::string(1, c);
  if (c == ' ') return "Space";
  if (c == '\r' || c == '\n') return "Enter";
  if (c == 'q' || c == 'Q') return "q";
  if (c == 'h' || c == 'H') return "h";
  return std::nullopt;
}

CRawTerminal::CRawTerminal() {
  if (tcgetattr(STDIN_FILENO, &m_saved) != 0) return;
  termios raw = m_saved;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  m_active = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
}

CRawTerminal::~CRawTerminal() {
  if (m_active) tcsetattr(STDIN_FILENO, TCSANOW, &m_saved);
}

}  // namespace vexa::vremote
