#pragma once
// The edge script the test build of the receiver replays: one line per change of
// the line, "<microseconds since the previous change> <new level 0|1>". Lines
// that say anything else are skipped.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vexa::carrio {

struct ScriptedEdge {
  uint64_t afterUs = 0;
  bool level = false;
};

std::optional<ScriptedEdge> parseEdgeLine(std::string_view line);
std::string edgeLine(uint64_t afterUs, bool level);

// The script of what a line resting high shows for timing samples (bit 31
// pulse, the line low): the first pulse pulls it low `leadUs` after the rest
// began. A line changes level at every edge, so neighbours of one polarity are
// one interval; a space at either end is the rest itself.
std::string edgeScript(std::span<const uint32_t> samples, uint64_t leadUs);

// Collects bytes into lines; a line longer than the limit is dropped whole.
class CLineCollector {
 public:
  void add(char c);
  std::optional<std::string> take();  // the oldest complete line

 private:
  static constexpr size_t kLongestLine = 64;
  std::string m_partial;
  std::string m_lines;  // complete lines, each ended by '\n'
  bool m_overlong = false;
};

}  // namespace vexa::carrio
