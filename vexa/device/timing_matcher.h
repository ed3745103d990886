#pragma once
// Matching a stream of pulse/space samples against learned timing codes.
// Samples collect in a buffer since the last frame boundary; the first
// learned code in store order that the buffer (or the new sample) speaks
// for decides. Candidates are indexed by signal length and gap durations
// are kept sorted, so a sample costs only what could match it.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "vexa/device/signal_compare.h"
#include "vexa/device/timing_learner.h"

namespace vexa {

struct TimingEntry {
  std::string remote;
  std::string command;
  int tolerance = 0;  // already resolved: the remote's, or 25 in timing mode when that is 0
  LearnedTiming code;
};

class CTimingMatcher {
 public:
  static constexpr uint64_t kFrameReset100ns = 3000000;  // 0.3 s without a sample

  enum class Outcome { None, Boundary, Send, SendAndRepeat, Stop, Ignored };
  struct Result {
    Outcome outcome = Outcome::None;
    const TimingEntry* entry = nullptr;  // for Send and SendAndRepeat
  };

  // Entries in store order (remote by remote, command by command).
  void setEntries(std::vector<TimingEntry> entries);
  const std::vector<TimingEntry>& entries() const { return entries_; }
  void clear();

  Result onSample(uint32_t sample, uint64_t now100ns);
  const TimingEntry* lastMatch() const { return last_; }
  size_t bufferSize() const { return buffer_.size(); }

 private:
  struct GapRef {
    uint32_t duration;
    uint32_t sample;
    size_t position;
  };
  struct Candidate {
    size_t position;
    const Signal* signal;
    uint32_t scale;
  };

  size_t firstGapMatch(uint32_t sample) const;
  size_t firstContentMatch() const;
  Result finish(Outcome outcome, const TimingEntry* entry);

  std::vector<TimingEntry> entries_;
  std::map<int, std::vector<GapRef>> gapsByTolerance_;     // sorted by duration
  std::map<size_t, std::vector<Candidate>> byLength_;      // in store order
  size_t longest_ = 0;
  Signal buffer_;
  uint64_t previous_ = 0;
  bool anySample_ = false;
  const TimingEntry* last_ = nullptr;
};

}  // namespace vexa
