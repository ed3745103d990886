#include "vexa/device/timing_matcher.h"

#include <algorithm>
#include <limits>

#include "vexa/device/plugin_abi.h"

namespace vexa {

namespace {
constexpr size_t kNone = std::numeric_limits<size_t>::max();
}  // namespace

void CTimingMatcher::clear() {
  buffer_.clear();
  last_ = nullptr;
}

void CTimingMatcher::setEntries(std::vector<TimingEntry> entries) {
  entries_ = std::move(entries);
  gapsByTolerance_.clear();
  byLength_.clear();
  longest_ = 0;
  clear();
  for (size_t i = 0; i < entries_.size(); ++i) {
    const LearnedTiming& code = entries_[i].code;
    if (code.flags & TimingFlag::kGapKnown) {
      auto& gaps = gapsByTolerance_[entries_[i].tolerance];
      gaps.push_back({abi::durationOf(code.gap), code.gap, i});
      gaps.push_back({abi::durationOf(code.repeatGap), code.repeatGap, i});
    }
    byLength_[code.raw.size()].push_back({i, &code.raw, signalScale(code.raw)});
    if (code.flags & TimingFlag::kToggling)
      byLength_[code.toggled.size()].push_back({i, &code.toggled, signalScale(code.toggled)});
    longest_ = std::max({longest_, code.raw.size(), code.toggled.size(), code.repeat.size(), code.stop.size()});
  }
  for (auto& [tolerance, gaps] : gapsByTolerance_)
    std::sort(gaps.begin(), gaps.end(), [](const GapRef& a, const GapRef& b) { return a.duration < b.duration; });
  for (auto& [length, list] : byLength_)
    std::stable_sort(list.begin(), list.end(),
                     [](const Candidate& a, const Candidate& b) { return a.position < b.position; });
}

// The first entry whose gap or repeat gap the sample agrees with. Only gaps
// in a window around the sample's duration can agree, so each tolerance's
// sorted gaps are searched there and confirmed with the exact rule.
size_t CTimingMatcher::firstGapMatch(uint32_t sample) const {
  size_t first = kNone;
  const uint64_t d = abi::durationOf(sample);
  for (const auto& [tolerance, gaps] : gapsByTolerance_) {
    const uint64_t t = static_cast<uint64_t>(std::clamp(tolerance, 0, 1000));
    const uint64_t lo = t >= 99 ? 0 : d * (99 - t) / 100;
    const uint64_t hi = t >= 99 ? UINT64_MAX : d * 100 / (99 - t) + 1;
    auto it = std::lower_bound(gaps.begin(), gaps.end(), lo > kAlwaysAgreeUs ? lo - kAlwaysAgreeUs : 0,
                               [](const GapRef& g, uint64_t v) { return g.duration < v; });
    for (; it != gaps.end() && it->duration <= hi + kAlwaysAgreeUs; ++it)
      if (it->position < first && sampleAgrees(sample, it->sample, tolerance)) first = it->position;
  }
  return first;
}

size_t CTimingMatcher::firstContentMatch() const {
  auto it = byLength_.find(buffer_.size());
  if (it == byLength_.end()) return kNone;
  const uint32_t bufferScale = signalScale(buffer_);
  for (const Candidate& c : it->second)
    if (signalsAgreeWith(buffer_, *c.signal, std::max(bufferScale, c.scale), entries_[c.position].tolerance))
      return c.position;
  return kNone;
}

CTimingMatcher::Result CTimingMatcher::finish(Outcome outcome, const TimingEntry* entry) {
  buffer_.clear();
  if (outcome == Outcome::Send || outcome == Outcome::SendAndRepeat) last_ = entry;
  return {outcome, entry};
}

CTimingMatcher::Result CTimingMatcher::onSample(uint32_t sample, uint64_t now100ns) {
  if (anySample_ && now100ns - previous_ > kFrameReset100ns) clear();
  previous_ = now100ns;
  anySample_ = true;
  if (abi::durationOf(sample) >= abi::kMaxDurationUs) return {Outcome::Ignored, nullptr};
  buffer_.push_back(sample);

  const size_t gap = firstGapMatch(sample);
  const size_t content = firstContentMatch();
  size_t held = kNone;
  Outcome heldOutcome = Outcome::None;
  if (last_) {
    const auto position = static_cast<size_t>(last_ - entries_.data());
    const LearnedTiming& code = last_->code;
    if ((code.flags & TimingFlag::kStopCode) && signalsAgree(buffer_, code.stop, last_->tolerance)) {
      held = position;
      heldOutcome = Outcome::Stop;
    } else if ((code.flags & TimingFlag::kRepeatCode) && signalsAgree(buffer_, code.repeat, last_->tolerance)) {
      held = position;
      heldOutcome = Outcome::Send;
    }
  }
  // Store order decides; for one entry the gap comes first, then its
  // signal, then its stop or repeat code.
  if (gap != kNone && gap <= content && gap <= held) {
    buffer_.clear();
    return {Outcome::Boundary, nullptr};
  }
  if (content != kNone && content <= held) {
    const TimingEntry& e = entries_[content];
    return finish((e.code.flags & TimingFlag::kStopCode) ? Outcome::SendAndRepeat : Outcome::Send, &e);
  }
  if (held != kNone) {
    const TimingEntry* e = last_;
    if (heldOutcome == Outcome::Stop) {
      buffer_.clear();
      last_ = nullptr;
      return {Outcome::Stop, nullptr};
    }
    return finish(Outcome::Send, e);
  }
  // Nothing can match a buffer longer than every stored signal: start over
  // rather than let noise grow it.
  if (buffer_.size() >= longest_) buffer_.clear();
  return {Outcome::None, nullptr};
}

}  // namespace vexa
