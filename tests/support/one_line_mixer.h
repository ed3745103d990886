#pragma once
// A mixer with one line: its volume (both channels alike) and its mute switch.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/exec/actions/mixer_rules.h"

namespace vexa::test {

class COneLineMixer final : public IMixer {
 public:
  explicit COneLineMixer(std::string line) : m_line(std::move(line)) {}
  bool adjust(MixerKind kind, int delta, std::string_view line, MixerDestination, int64_t& value) override {
    if (line != m_line) return false;
    if (kind == MixerKind::Mute) {
      if (delta) muted = !muted;
      value = muted ? 1 : 0;
      return true;
    }
    value = (static_cast<int64_t>(level) << 16) | level;
    return kind == MixerKind::Volume;
  }
  std::string masterLine() override { return m_line; }
  std::vector<std::string> lines(MixerDestination, bool) override { return {m_line}; }

  uint32_t level = 40000;
  bool muted = false;

 private:
  std::string m_line;
};

}  // namespace vexa::test
