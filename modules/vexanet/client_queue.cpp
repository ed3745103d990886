#include "modules/vexanet/client_queue.h"

#include <algorithm>

namespace vexanet {

bool CClientQueue::Push(std::string_view line) {
  if (line.empty()) return true;
  if (line.size() > m_limit - m_bytes) return false;
  m_lines.emplace_back(line);
  m_bytes += line.size();
  return true;
}

std::string_view CClientQueue::Front() const {
  if (m_lines.empty()) return {};
  return std::string_view(m_lines.front()).substr(m_frontOffset);
}

void CClientQueue::Consume(size_t sent) {
  while (sent > 0 && !m_lines.empty()) {
    const size_t left = m_lines.front().size() - m_frontOffset;
    const size_t taken = std::min(sent, left);
    m_frontOffset += taken;
    m_bytes -= taken;
    sent -= taken;
    if (m_frontOffset == m_lines.front().size()) {
      m_lines.pop_front();
      m_frontOffset = 0;
    }
  }
}

}  // namespace vexanet
