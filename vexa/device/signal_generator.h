#pragma once
// Pulse/space trains of common consumer remote protocols, with the timing
// jitter of a real receiver, for exercising learning and matching.
#include <cstdint>
#include <random>
#include <vector>

#include "vexa/device/signal_compare.h"

namespace vexa {

enum class IrProtocol { Nec, Rc5, Rc6, Sirc };

struct IrButton {
  IrProtocol protocol;
  uint32_t address;
  uint32_t command;
};

struct TimedSample {
  uint32_t sample;     // bit 31 pulse, duration in microseconds
  uint64_t endUs;      // when the interval ended, since the generator's start
};

class CSignalGenerator {
 public:
  // jitterPercent: each interval deviates by up to that share of the
  // protocol's base unit, as edge detection in a receiver does.
  CSignalGenerator(uint32_t seed, int jitterPercent) : random_(seed), jitterPercent_(jitterPercent) {}

  // One press held for `frames` frames (NEC repeats its short repeat code);
  // the last interval of each frame is the space up to the next frame, and
  // after the press a silence of `pauseUs` follows (not emitted as a sample).
  std::vector<TimedSample> press(const IrButton& button, int frames, uint64_t pauseUs = 600000);

  // The frame period and base unit of a protocol, in microseconds.
  static uint32_t periodUs(IrProtocol protocol);
  static uint32_t unitUs(IrProtocol protocol);

  uint64_t nowUs() const { return nowUs_; }

 private:
  Signal frame(const IrButton& button, int index);
  void emit(std::vector<TimedSample>& out, uint32_t sample);
  uint32_t jitter(uint32_t micros, uint32_t unit);

  std::mt19937 random_;
  int jitterPercent_;
  uint64_t nowUs_ = 0;
  bool toggle_ = false;
};

}  // namespace vexa
