#pragma once
// The I2C bus behind the chip's I2C register: transfers by the chip's own
// controller (the EEPROM, probing addresses) and, for the infrared
// microcontroller, transfers driven bit by bit on the clock and data lines.
#include <array>
#include <cstdint>
#include <optional>

#include "plugins/tunerbox/chip_registers.h"

namespace vexa::tunerbox {

// Results of a controller transfer below zero.
inline constexpr int kI2cTimeout = -1;
inline constexpr int kI2cNoAcknowledge = -2;
inline constexpr int kI2cTimeoutMs = 100;

class II2cController {
 public:
  virtual ~II2cController() = default;
  // The byte read (0..255), or kI2cTimeout, or kI2cNoAcknowledge when an
  // acknowledge is required and none came.
  virtual int controllerRead(uint8_t address, bool acknowledgeRequired, int timeoutMs = kI2cTimeoutMs) = 0;
  // 0 when acknowledged, kI2cNoAcknowledge, or kI2cTimeout.
  virtual int controllerWrite(uint8_t address, uint8_t first, std::optional<uint8_t> second = std::nullopt) = 0;
};

using EepromImage = std::array<uint8_t, 256>;
inline constexpr uint8_t kEepromAddress = 0xA0;

// The whole EEPROM from address 0; nothing when any transfer fails.
std::optional<EepromImage> readEeprom(II2cController& bus);

class CI2cAccess final : public II2cController {
 public:
  explicit CI2cAccess(IChipRegisters& registers) : registers_(registers) {}

  int controllerRead(uint8_t address, bool acknowledgeRequired, int timeoutMs = kI2cTimeoutMs) override;
  int controllerWrite(uint8_t address, uint8_t first, std::optional<uint8_t> second = std::nullopt) override;

  // Bit-level framing, most significant bit first.
  void start();
  void stop();
  // True when the device acknowledged; the acknowledge is read `ackDelayUs` after the byte.
  bool sendByte(uint8_t byte, uint32_t ackDelayUs = 0);
  uint8_t receiveByte(bool acknowledge);

 private:
  // Clears the done bit, starts the transfer and waits for it: the status, or nothing on a time-out.
  std::optional<uint32_t> transfer(uint32_t command, int timeoutMs);
  void setLines(bool scl, bool sda);
  bool dataLine();

  IChipRegisters& registers_;
};

}  // namespace vexa::tunerbox
