#include "plugins/carrio/edge_script.h"

#include <charconv>
#include <vector>

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

std::string edgeScript(std::span<const uint32_t> samples, uint64_t leadUs) {
  constexpr uint32_t kPulse = 0x80000000u;
  struct Interval {
    bool pulse;
    uint64_t us;
  };
  std::vector<Interval> intervals;
  for (uint32_t s : samples) {
    const bool pulse = (s & kPulse) != 0;
    const uint64_t us = s & ~kPulse;
    if (!intervals.empty() && intervals.back().pulse == pulse)
      intervals.back().us += us;
    else
      intervals.push_back({pulse, us});
  }
  if (!intervals.empty() && !intervals.back().pulse) intervals.pop_back();
  if (intervals.empty()) return {};
  size_t first = 0;
  if (!intervals.front().pulse) leadUs += intervals[first++].us;
  std::string script = edgeLine(leadUs, false);
  for (size_t i = first; i < intervals.size(); ++i) script += edgeLine(intervals[i].us, intervals[i].pulse);
  return script;
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
