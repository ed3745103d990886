#include "vexa/device/signal_generator.h"

#include "vexa/device/plugin_abi.h"

namespace vexa {

namespace {

using abi::makeSample;

// Adds an interval, merging it into the previous one of the same polarity
// (Manchester codes put two half-bits of one level next to each other).
void put(Signal& s, bool pulse, uint32_t micros) {
  if (!s.empty() && abi::isPulse(s.back()) == pulse) {
    s.back() = makeSample(pulse, abi::durationOf(s.back()) + micros);
    return;
  }
  s.push_back(makeSample(pulse, micros));
}

// Bi-phase bits; `oneIsPulseFirst` selects the RC6 convention, else RC5.
void biphase(Signal& s, bool bit, uint32_t half, bool oneIsPulseFirst) {
  const bool pulseFirst = bit == oneIsPulseFirst;
  put(s, pulseFirst, half);
  put(s, !pulseFirst, half);
}

Signal necFrame(uint32_t address, uint32_t command) {
  Signal s;
  put(s, true, 9000);
  put(s, false, 4500);
  const uint32_t bits = (address & 0xFF) | ((~address & 0xFF) << 8) | ((command & 0xFF) << 16) |
                        ((~command & 0xFF) << 24);
  for (int i = 0; i < 32; ++i) {
    put(s, true, 563);
    put(s, false, (bits >> i) & 1 ? 1688 : 563);
  }
  put(s, true, 563);
  return s;
}

Signal necRepeat() {
  Signal s;
  put(s, true, 9000);
  put(s, false, 2250);
  put(s, true, 563);
  return s;
}

Signal rc5Frame(uint32_t address, uint32_t command, bool toggle) {
  const uint32_t bits = (1u << 13) | (1u << 12) | (toggle ? 1u << 11 : 0) | ((address & 0x1F) << 6) | (command & 0x3F);
  Signal s;
  for (int i = 13; i >= 0; --i) biphase(s, (bits >> i) & 1, 889, false);
  if (!s.empty() && !abi::isPulse(s.front())) s.erase(s.begin());  // idle before the first edge
  return s;
}

Signal rc6Frame(uint32_t address, uint32_t command, bool toggle) {
  Signal s;
  put(s, true, 2666);
  put(s, false, 889);
  biphase(s, true, 444, true);                                      // start bit
  for (int i = 0; i < 3; ++i) biphase(s, false, 444, true);         // mode 0
  biphase(s, toggle, 889, true);                                    // trailer bit, double length
  const uint32_t bits = ((address & 0xFF) << 8) | (command & 0xFF);
  for (int i = 15; i >= 0; --i) biphase(s, (bits >> i) & 1, 444, true);
  return s;
}

Signal sircFrame(uint32_t address, uint32_t command) {
  Signal s;
  put(s, true, 2400);
  const uint32_t bits = (command & 0x7F) | ((address & 0x1F) << 7);
  for (int i = 0; i < 12; ++i) {
    put(s, false, 600);
    put(s, true, (bits >> i) & 1 ? 1200 : 600);
  }
  return s;
}

uint32_t lengthUs(const Signal& s) {
  uint32_t total = 0;
  for (uint32_t v : s) total += abi::durationOf(v);
  return total;
}

}  // namespace

uint32_t CSignalGenerator::periodUs(IrProtocol protocol) {
  switch (protocol) {
    case IrProtocol::Nec: return 108000;
    case IrProtocol::Rc5: return 113778;
    case IrProtocol::Rc6: return 106667;
    case IrProtocol::Sirc: return 45000;
  }
  return 100000;
}

uint32_t CSignalGenerator::unitUs(IrProtocol protocol) {
  switch (protocol) {
    case IrProtocol::Nec: return 563;
    case IrProtocol::Rc5: return 889;
    case IrProtocol::Rc6: return 444;
    case IrProtocol::Sirc: return 600;
  }
  return 500;
}

Signal CSignalGenerator::frame(const IrButton& b, int index) {
  switch (b.protocol) {
    case IrProtocol::Nec: return index == 0 ? necFrame(b.address, b.command) : necRepeat();
    case IrProtocol::Rc5: return rc5Frame(b.address, b.command, toggle_);
    case IrProtocol::Rc6: return rc6Frame(b.address, b.command, toggle_);
    case IrProtocol::Sirc: return sircFrame(b.address, b.command);
  }
  return {};
}

uint32_t CSignalGenerator::jitter(uint32_t micros, uint32_t unit) {
  const int spread = static_cast<int>(unit) * jitterPercent_ / 100;
  if (spread == 0) return micros;
  std::uniform_int_distribution<int> d(-spread, spread);
  const int value = static_cast<int>(micros) + d(random_);
  return static_cast<uint32_t>(value < 1 ? 1 : value);
}

void CSignalGenerator::emit(std::vector<TimedSample>& out, uint32_t sample) {
  nowUs_ += abi::durationOf(sample);
  out.push_back({sample, nowUs_});
}

std::vector<TimedSample> CSignalGenerator::press(const IrButton& button, int frames, uint64_t pauseUs) {
  std::vector<TimedSample> out;
  const uint32_t unit = unitUs(button.protocol);
  for (int f = 0; f < frames; ++f) {
    const Signal s = frame(button, f);
    for (uint32_t v : s) emit(out, abi::makeSample(abi::isPulse(v), jitter(abi::durationOf(v), unit)));
    const uint32_t length = lengthUs(s);
    const uint32_t period = periodUs(button.protocol);
    const uint32_t gap = period > length + unit ? period - length : 4 * unit;
    if (f + 1 < frames) emit(out, abi::makeSample(false, jitter(gap, unit)));
  }
  // The receiver only reports the space after the last frame once the next
  // press begins; by then it is longer than anything a sample can carry.
  nowUs_ += pauseUs;
  toggle_ = !toggle_;
  return out;
}

}  // namespace vexa
