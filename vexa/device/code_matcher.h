#pragma once
// Matching what a second-generation plug-in delivers against the code store:
// raw byte codes through an index by their bytes, timing samples through the
// timing matcher. Both keep store order: the first learned code wins.
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "vexa/device/code_store.h"
#include "vexa/device/timing_matcher.h"

namespace vexa::device {

struct CodeMatch {
  std::string remote;
  std::string command;
  bool operator==(const CodeMatch&) const = default;
};

struct TimingMatch {
  CTimingMatcher::Outcome outcome = CTimingMatcher::Outcome::None;
  CodeMatch names;  // for Send and SendAndRepeat
};

class CCodeMatcher {
 public:
  explicit CCodeMatcher(const CCodeStore& store) : store_(store), revision_(store.revision()) {}

  // The first command with flag 0x20 whose signature equals the bytes,
  // walking remotes and then their commands in name order. The last match is
  // cached, and everything derived from the store is dropped when it changed.
  std::optional<CodeMatch> matchRaw(const uint8_t* bytes, size_t count);
  std::optional<CodeMatch> matchRaw(const std::vector<uint8_t>& bytes) { return matchRaw(bytes.data(), bytes.size()); }

  // One timing sample; `timingMode` decides the default tolerance.
  TimingMatch matchTiming(uint32_t sample, uint64_t now100ns, bool timingMode);

  void clearCache();
  // Lookups that missed the last-match cache, for tests and benchmarks.
  uint64_t walks() const { return walks_; }

 private:
  void refresh();
  void buildRawIndex();
  void buildTimingEntries(bool timingMode);

  const CCodeStore& store_;
  uint64_t revision_;
  std::vector<uint8_t> lastCode_;
  CodeMatch last_;
  uint64_t walks_ = 0;
  bool rawIndexed_ = false;
  std::unordered_map<std::string, CodeMatch> rawIndex_;  // bytes -> first match in store order
  bool timingBuilt_ = false;
  bool timingMode_ = false;
  CTimingMatcher timing_;
};

}  // namespace vexa::device
