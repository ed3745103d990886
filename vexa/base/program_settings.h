#pragma once
// The program's own settings as the option pages show them and the registry
// keeps them; the display's and the device's settings are kept by their owners.
#include <cstdint>

#include "vexa/base/program_options.h"

namespace vexa {

struct ProgramSettings {
  static constexpr uint32_t kDefaultServerPort = 1234;
  static constexpr uint32_t kDefaultRepThresholdMs = 250;
  static constexpr uint32_t kDefaultTypematicDelayMs = 500;

  ProgramOptions options;
  uint32_t serverPort = kDefaultServerPort;          // "ServerPort"
  uint32_t repThresholdMs = kDefaultRepThresholdMs;  // "RepThreshold", "Repeated command timeout"
  uint32_t typematicDelayMs = kDefaultTypematicDelayMs;  // "TypematicDelay", "Typematic delay"
  bool firstRun = true;                              // "FirstRun"
  bool comCtlWarned = false;                         // "ComCtl32VerWarned"

  bool operator==(const ProgramSettings&) const = default;
};

}  // namespace vexa
