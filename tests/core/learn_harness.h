#pragma once
// Drives the learning state machines as the dialog would: timers fire when
// their time has come before the next sample arrives.
#include <map>
#include <string>
#include <vector>

#include "vexa/device/learn_view.h"
#include "vexa/device/signal_generator.h"
#include "vexa/device/timing_learner.h"

class RecordingView : public vexa::ILearnView {
 public:
  void setLed(vexa::LedState s) override { led = s; }
  void setProgress(int p, int r) override {
    position = p;
    range = r;
  }
  void showMessage(std::string_view text) override { messages.emplace_back(text); }
  void armTimer(int id, unsigned ms) override { deadlines[id] = nowUs + ms * 1000ull; }
  void stopTimer(int id) override { deadlines.erase(id); }
  void enableStore(bool e) override { storeEnabled = e; }
  void discardQueuedCodes() override { ++discards; }

  vexa::LedState led = vexa::LedState::Green;
  int position = 0, range = 0, discards = 0;
  bool storeEnabled = false;
  std::vector<std::string> messages;
  std::map<int, uint64_t> deadlines;  // timer id -> microseconds
  uint64_t nowUs = 0;
};

// Fires every timer due by `untilUs`, earliest first.
inline void runTimers(RecordingView& view, vexa::CTimingLearner& learner, uint64_t untilUs) {
  for (;;) {
    int due = -1;
    uint64_t when = untilUs + 1;
    for (auto [id, at] : view.deadlines)
      if (at <= untilUs && at < when) {
        due = id;
        when = at;
      }
    if (due < 0) return;
    view.nowUs = when;
    learner.onTimer(due);
  }
}

inline void feed(RecordingView& view, vexa::CTimingLearner& learner, const std::vector<vexa::TimedSample>& samples) {
  for (const auto& s : samples) {
    runTimers(view, learner, s.endUs);
    view.nowUs = s.endUs;
    learner.onSample(s.sample, s.endUs * 10);
  }
}
