#pragma once
// What the carrier-line receiver's timing makes of an edge script: the samples
// the host would be sent, with the scripted intervals as the only clock.
#include <cstdint>
#include <string_view>
#include <vector>

#include "plugins/carrio/edge_script.h"
#include "plugins/carrio/edge_timer.h"

namespace vexa::test {

struct ReplayedSample {
  uint32_t sample;
  int64_t atUs;  // when its edge came, since the replay began
};

// The line rests high from `startUs` on; `timer` keeps its idle level across calls.
inline std::vector<ReplayedSample> replayEdgeScript(std::string_view script, carrio::CEdgeTimer& timer, bool& level,
                                                    int64_t& nowUs) {
  std::vector<ReplayedSample> samples;
  while (!script.empty()) {
    const size_t end = script.find('\n');
    const auto edge = carrio::parseEdgeLine(script.substr(0, end));
    script.remove_prefix(end == std::string_view::npos ? script.size() : end + 1);
    if (!edge) continue;
    nowUs += static_cast<int64_t>(edge->afterUs);
    if (edge->level == level) continue;  // no change, no edge
    level = edge->level;
    if (const auto r = timer.onEdge({level, nowUs, nowUs / 1000000}); r.sample) samples.push_back({*r.sample, nowUs});
  }
  return samples;
}

inline std::vector<uint32_t> replayEdgeScript(std::string_view script) {
  carrio::CEdgeTimer timer(true, 1000000, {true, 0, 0});
  bool level = true;
  int64_t now = 0;
  std::vector<uint32_t> out;
  for (const auto& s : replayEdgeScript(script, timer, level, now)) out.push_back(s.sample);
  return out;
}

}  // namespace vexa::test
