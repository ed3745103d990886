#pragma once
// The "IR Setup Wizard": watches the GPIO pins while the user's TV program
// drives the card and while the user presses buttons, and works out the five
// GPIO values. Every measurement also goes to "tunerbox.log".
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>

#include "plugins/tunerbox/receiver_decoder.h"

namespace vexa::tunerbox {

// What the wizard needs of the card; each call may block briefly on the card.
struct WizardCard {
  std::function<uint32_t()> readGpio;
  std::function<uint32_t()> readOutputEnable;
  std::function<void(uint32_t)> writeOutputEnable;
  // The infrared microcontroller's address, 0 for none.
  std::function<uint8_t()> microcontroller;
};

struct WizardOutcome {
  bool finished = false;
  bool microcontroller = false;
  GpioConfig config;  // on a GPIO card that finished
};

WizardOutcome runSetupWizard(HWND owner, const WizardCard& card);

}  // namespace vexa::tunerbox
