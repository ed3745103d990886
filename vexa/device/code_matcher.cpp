#include "vexa/device/code_matcher.h"

#include <algorithm>

#include "vexa/device/learn_result.h"

namespace vexa::device {

static_assert(CodeFlag::kTiming == TimingFlag::kTimingCode && CodeFlag::kRepeatCode == TimingFlag::kRepeatCode &&
              CodeFlag::kGapKnown == TimingFlag::kGapKnown && CodeFlag::kToggling == TimingFlag::kToggling &&
              CodeFlag::kStopCode == TimingFlag::kStopCode);

void CCodeMatcher::clearCache() {
  lastCode_.clear();
  last_ = {};
}

void CCodeMatcher::refresh() {
  if (store_.revision() == revision_) return;
  revision_ = store_.revision();
  clearCache();
  rawIndexed_ = false;
  rawIndex_.clear();
  timingBuilt_ = false;
}

void CCodeMatcher::buildRawIndex() {
  for (const auto& [remoteName, remote] : store_.remotes())
    for (const auto& [commandName, code] : remote.commands)
      if (code.flags & CodeFlag::kRaw)
        rawIndex_.try_emplace(std::string(code.signature.begin(), code.signature.end()),
                              CodeMatch{remoteName, commandName});
  rawIndexed_ = true;
}

std::optional<CodeMatch> CCodeMatcher::matchRaw(const uint8_t* bytes, size_t count) {
  refresh();
  if (!last_.remote.empty() && !last_.command.empty() && lastCode_.size() == count &&
      std::equal(lastCode_.begin(), lastCode_.end(), bytes))
    return last_;
  clearCache();
  ++walks_;
  if (!rawIndexed_) buildRawIndex();
  auto it = rawIndex_.find(std::string(reinterpret_cast<const char*>(bytes), count));
  if (it == rawIndex_.end()) return std::nullopt;
  lastCode_.assign(bytes, bytes + count);
  last_ = it->second;
  return last_;
}

void CCodeMatcher::buildTimingEntries(bool timingMode) {
  std::vector<TimingEntry> entries;
  for (const auto& [remoteName, remote] : store_.remotes()) {
    const int tolerance = effectiveTolerance(remote.tolerance, timingMode);
    for (const auto& [commandName, code] : remote.commands) {
      if (code.flags & CodeFlag::kRaw) continue;
      entries.push_back({remoteName, commandName, tolerance, learnedTimingOf(code)});
    }
  }
  timing_.setEntries(std::move(entries));
  timingMode_ = timingMode;
  timingBuilt_ = true;
}

TimingMatch CCodeMatcher::matchTiming(uint32_t sample, uint64_t now100ns, bool timingMode) {
  refresh();
  if (!timingBuilt_ || timingMode != timingMode_) buildTimingEntries(timingMode);
  const auto r = timing_.onSample(sample, now100ns);
  TimingMatch match{r.outcome, {}};
  if (r.entry) match.names = {r.entry->remote, r.entry->command};
  return match;
}

}  // namespace vexa::device
