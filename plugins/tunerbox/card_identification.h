#pragma once
// Which card carries the chip: its EEPROM's subsystem id, else the chip's PCI
// device id, else (no EEPROM) the other devices that answer on the I2C bus.
#include <cstdint>
#include <optional>

#include "plugins/tunerbox/i2c_access.h"

namespace vexa::tunerbox {

struct CardIdentity {
  int model = 0;
  std::optional<EepromImage> eeprom;
};

// EEPROM bytes 252..255, big-endian.
uint32_t subsystemIdOf(const EepromImage& eeprom);
int modelFromEeprom(const EepromImage& eeprom, uint16_t deviceId);
CardIdentity identifyCard(II2cController& bus, uint16_t deviceId);

inline constexpr uint8_t kMicrocontrollerAddresses[] = {0x35, 0x33, 0x31};
// The infrared microcontroller's read address, or 0 when none answers.
uint8_t findMicrocontroller(II2cController& bus);

}  // namespace vexa::tunerbox
