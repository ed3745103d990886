#pragma once
// The setup wizard's conclusion: from what the GPIO pins showed while idle,
// with one button held and released, and with every button pressed, which
// bits carry the code and how a press and a release show in them.
#include <cstdint>
#include <string>
#include <vector>

#include "plugins/tunerbox/receiver_decoder.h"

namespace vexa::tunerbox {

struct SetupMeasurements {
  uint32_t outEn = 0;
  uint32_t gpioInit = 0;
  uint32_t initMask = 0;
  uint32_t btnDown = 0;
  uint32_t btnUp = 0;
  std::vector<uint32_t> buttons;  // distinct values, in the order first seen
};

inline constexpr size_t kMinButtonValues = 3;

struct SetupAnalysis {
  uint32_t irMask = 0;
  uint32_t btnupMask = 0;
  uint32_t btndwnMask = 0;
  uint32_t flags = 0;
  bool ok = false;
  // What the receiver can work with.
  bool compatible() const { return ok && irMask != 0; }
  GpioConfig config(uint32_t outEn) const { return {outEn, irMask, btnupMask, btndwnMask, flags}; }
};

SetupAnalysis analyseSetup(const SetupMeasurements& measured);

// The log's lines, exactly as "tunerbox.log" has them.
std::string logValue(const char* label, uint32_t value);  // "GPIO_INIT: %x\n"
std::string logButtons(const std::vector<uint32_t>& buttons);
std::string logAnalysis(const SetupAnalysis& result);
std::string logMicrocontroller(uint8_t address);

}  // namespace vexa::tunerbox
