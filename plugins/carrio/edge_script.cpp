#include "plugins/carrio/edge_script.h"

#include <charconv>

namespace vexa::carrio {

std::optional<ScriptedEdge> parseEdgeLine(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
  const size_t space = line.find(' ');
  if (space == std::string_view::npos || space + 2 != line.size()) return std::nullopt;
  ScriptedEdge edge;
  const auto [end, error] = std::from_chars(line.data(), line.data() + space, edge.afterUs);
  if (error != std::errc() || end != line.data() + space) return std::nullopt;
  const char level = line[space + 1];
  if (level != '0' && level != '1') return std::nullopt;
  edge.level = level == '1';
  return edge;
}

std::string edgeLine(uint64_t afterUs, bool level) {
  return std::to_string(afterUs) + (level ? " 1\n" : " 0\n");
}

void CLineCollector::add(char c) {
  if (c == '\n') {
    if (!m_overlong) m_lines += m_partial + '\n';
    m_partial.clear();
    m_overlong = false;
    return;
  }
  if (m_partial.size() >= kLongestLine) {
    m_overlong = true;
    m_partial.clear();
  }
  if (!m_overlong) m_partial += c;
}

std::optional<std::string> CLineCollector::take() {
  const size_t end = m_lines.find('\n');
  if (end == std::string::npos) return std::nullopt;
  std::string line = m_lines.substr(0, end);
  m_lines.erase(0, end + 1);
  return line;
}

}  // namespace vexa::carrio
