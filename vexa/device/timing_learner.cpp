#include "vexa/device/timing_learner.h"

#include <algorithm>

#include "vexa/device/plugin_abi.h"
#include "vexa/device/signal_analysis.h"

namespace vexa {

using namespace TimingFlag;

namespace {
// Signals are compared by how long they last, not by their sample count: a
// toggle bit in a bi-phase code merges or splits neighbouring intervals.
uint32_t totalDuration(const Signal& s) {
  uint64_t total = 0;
  for (uint32_t v : s) total += abi::durationOf(v);
  return static_cast<uint32_t>(std::min<uint64_t>(total, abi::kDurationMask));
}
}  // namespace

CTimingLearner::CTimingLearner(ILearnView& view, int tolerancePercent, int learnSamples)
    : view_(view), tolerance_(tolerancePercent), range_(learnSamples < 1 ? 1 : learnSamples) {
  view_.setProgress(0, range_);
  view_.enableStore(false);
  view_.setLed(LedState::Green);
}

void CTimingLearner::reset() {
  captures_ = {};
  index_ = 0;
  limit_ = kFirstCaptureLimit;
  learned_ = {};
  verifyBuffer_.clear();
  progress_ = 0;
  view_.stopTimer(kCaptureTimer);
  view_.stopTimer(kStopCodeTimer);
  view_.setProgress(0, range_);
  view_.enableStore(false);
  view_.setLed(LedState::Green);
  waiting_ = true;
}

void CTimingLearner::fail(std::string_view message) {
  view_.setLed(LedState::Red);
  view_.showMessage(message);
  reset();
}

void CTimingLearner::step() {
  progress_ = std::min(progress_ + 1, range_);
  view_.setProgress(progress_, range_);
  if (complete()) view_.enableStore(true);
}

void CTimingLearner::waitForSilence() {
  waiting_ = true;
  view_.setLed(LedState::Red);
  view_.discardQueuedCodes();
}

void CTimingLearner::onSample(uint32_t sample, uint64_t now100ns) {
  const bool quiet = !anySample_ || now100ns - lastSample_ >= kSilence100ns;
  lastSample_ = now100ns;
  anySample_ = true;
  if (waiting_) {
    view_.setLed(LedState::Red);
    if (!quiet) {
      view_.armTimer(kSilenceTimer, kLearnTimerMs);
      return;
    }
    waiting_ = false;
  }
  // A sample this long is the pause before a press, not part of it.
  if (abi::durationOf(sample) >= abi::kMaxDurationUs) return;
  if (complete()) return;
  view_.setLed(LedState::Busy);
  if (index_ <= 1 && (learned_.flags & kStopCode) == 0) {
    capture(sample);
  } else if (index_ == 1) {
    learned_.stop.push_back(sample);
    view_.armTimer(kStopCodeTimer, kLearnTimerMs);
  } else if (index_ == 3) {
    if (quiet) verifyBuffer_.clear();
    verify(sample);
  }
}

void CTimingLearner::capture(uint32_t sample) {
  Capture& c = captures_[static_cast<size_t>(index_)];
  if (c.samples.empty() && index_ == 0) {
    range_ = kProgressRange;
    view_.setProgress(progress_, range_);
  }
  if (c.samples.size() < limit_) {
    c.samples.push_back(sample);
    view_.armTimer(kCaptureTimer, kLearnTimerMs);
    return;
  }
  endCapture();
}

// The button is still held past the limit: its frames repeat, so the
// capture holds at least one whole frame and its gap.
void CTimingLearner::endCapture() {
  view_.stopTimer(kCaptureTimer);
  Capture& c = captures_[static_cast<size_t>(index_)];
  SplitResult r = splitCapture(c.samples, tolerance_);
  if (!r.split) {
    fail(r.failure);
    return;
  }
  c.samples = std::move(r.split->signal);
  c.repeat = std::move(r.split->repeat);
  c.gap = r.split->gap;
  c.repeatGap = r.split->repeatGap;
  if (index_ == 0) {
    const size_t n = c.samples.size() + 1;  // one frame with its gap
    limit_ = c.repeat.empty() ? (n + 2) * 5 : n + 10 + 4 * (c.repeat.size() + 1);
  }
  ++index_;
  step();
  if (index_ == 2) compare();
  waitForSilence();
}

void CTimingLearner::compare() {
  const Capture& a = captures_[0];
  const Capture& b = captures_[1];
  const bool agree = durationsAgree(a.gap, b.gap, tolerance_) && durationsAgree(a.repeatGap, b.repeatGap, tolerance_) &&
                     a.repeat.size() == b.repeat.size() && signalsAgree(a.repeat, b.repeat, tolerance_) &&
                     durationsAgree(totalDuration(a.samples), totalDuration(b.samples), tolerance_);
  if (!agree) {
    fail(kMsgNotIdenticalTiming);
    return;
  }
  learned_.gap = abi::makeSample(abi::isPulse(a.gap), abi::durationOf(averageSample(a.gap, b.gap)));
  learned_.repeatGap =
      abi::makeSample(abi::isPulse(a.repeatGap), abi::durationOf(averageSample(a.repeatGap, b.repeatGap)));
  learned_.flags |= kGapKnown;
  if (!a.repeat.empty()) {
    learned_.repeat = *averageSignals(a.repeat, b.repeat);
    learned_.flags |= kRepeatCode;
  }
  if (signalsAgree(a.samples, b.samples, tolerance_)) {
    learned_.raw = *averageSignals(a.samples, b.samples);
  } else {
    learned_.raw = a.samples;
    learned_.toggled = b.samples;
    learned_.flags |= kToggling;
  }
  index_ = 3;
}

void CTimingLearner::onTimer(int id) {
  view_.stopTimer(id);
  if (id == kSilenceTimer) {
    view_.setLed(LedState::Green);
  } else if (id == kCaptureTimer && index_ <= 1 && (learned_.flags & kStopCode) == 0) {
    if (index_ == 0) {
      // The remote went quiet although the button may be held: what came is
      // the signal, and what follows on release is its stop code.
      learned_.flags |= kStopCode;
      learned_.raw = captures_[0].samples;
      index_ = 1;
      view_.setLed(LedState::Red);
      step();
    } else {
      endCapture();  // released before the limit: take what there is
    }
  } else if (id == kStopCodeTimer && index_ == 1 && (learned_.flags & kStopCode)) {
    index_ = 3;
    view_.setLed(LedState::Green);
    step();
  }
}

size_t CTimingLearner::longestLearned() const {
  return std::max({learned_.raw.size(), learned_.toggled.size(), learned_.repeat.size(), learned_.stop.size()});
}

bool CTimingLearner::matchesLearned(const Signal& buffer) const {
  for (const Signal* s : {&learned_.raw, &learned_.toggled, &learned_.repeat, &learned_.stop})
    if (!s->empty() && signalsAgree(buffer, *s, tolerance_)) return true;
  return false;
}

void CTimingLearner::verify(uint32_t sample) {
  const bool boundary = (learned_.flags & kGapKnown) &&
                        (sampleAgrees(sample, learned_.gap, tolerance_) ||
                         sampleAgrees(sample, learned_.repeatGap, tolerance_));
  if (boundary) {
    verifyBuffer_.clear();
    return;
  }
  verifyBuffer_.push_back(sample);
  // Noise must not grow the buffer past anything that could still match.
  if (verifyBuffer_.size() > longestLearned()) verifyBuffer_.erase(verifyBuffer_.begin());
  if (!matchesLearned(verifyBuffer_)) return;
  verifyBuffer_.clear();
  step();
  if (learned_.flags & kStopCode) view_.setLed(LedState::Red);
}

}  // namespace vexa
