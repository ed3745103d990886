#pragma once
// Learning a pulse/space button: two captures of the held button are split
// into frame, gap and repeat code, compared and averaged; further presses
// verify the result. Remotes that stop sending while held and send a code on
// release are learned as a signal plus stop code.
#include <array>
#include <cstdint>

#include "vexa/device/learn_view.h"
#include "vexa/device/signal_compare.h"

namespace vexa {

namespace TimingFlag {
inline constexpr uint32_t kTimingCode = 0x08;
inline constexpr uint32_t kRepeatCode = 0x10000;
inline constexpr uint32_t kGapKnown = 0x40000;
inline constexpr uint32_t kToggling = 0x80000;
inline constexpr uint32_t kStopCode = 0x100000;
}  // namespace TimingFlag

struct LearnedTiming {
  uint32_t flags = TimingFlag::kTimingCode;
  Signal raw, toggled, repeat, stop;
  uint32_t gap = 0;
  uint32_t repeatGap = 0;
};

class CTimingLearner {
 public:
  static constexpr size_t kFirstCaptureLimit = 200;
  static constexpr int kProgressRange = 6;
  static constexpr uint64_t kSilence100ns = 5000000;  // 0.5 s

  CTimingLearner(ILearnView& view, int tolerancePercent, int learnSamples);

  void onSample(uint32_t sample, uint64_t now100ns);
  void onTimer(int id);

  bool complete() const { return progress_ >= range_; }
  const LearnedTiming& result() const { return learned_; }
  // The dialog's progress range, which the first capture widens to 6.
  int learnSamples() const { return range_; }
  int captureIndex() const { return index_; }

 private:
  struct Capture {
    Signal samples;
    Signal repeat;
    uint32_t gap = 0;
    uint32_t repeatGap = 0;
  };

  void reset();
  void fail(std::string_view message);
  void step();
  void waitForSilence();
  void capture(uint32_t sample);
  void endCapture();
  void compare();
  void verify(uint32_t sample);
  bool matchesLearned(const Signal& buffer) const;
  size_t longestLearned() const;

  ILearnView& view_;
  int tolerance_;
  int range_;
  int progress_ = 0;
  std::array<Capture, 2> captures_;
  int index_ = 0;
  size_t limit_ = kFirstCaptureLimit;
  bool waiting_ = false;
  uint64_t lastSample_ = 0;
  bool anySample_ = false;
  Signal verifyBuffer_;
  LearnedTiming learned_;
};

}  // namespace vexa
