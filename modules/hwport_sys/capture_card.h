#pragma once
// A simulated Bt878 capture card: its PCI configuration space, its 4096-byte
// register window (interrupt status, I2C, GPIO) and the infrared receiver
// behind the GPIO pins or the I2C bus, played from a script of button states.
// Freestanding: the kernel driver builds it without a standard library.

#include <cstdint>

#include "modules/hwport_sys/i2c_bus.h"
#include "modules/hwport_sys/sim_requests.h"

namespace vexa::hwsim {

namespace reg {
inline constexpr uint32_t interruptStatus = 0x100;
inline constexpr uint32_t i2c = 0x110;
inline constexpr uint32_t gpioOutputEnable = 0x118;
inline constexpr uint32_t gpioData = 0x200;
}  // namespace reg

namespace status {
inline constexpr uint32_t i2cDone = 1u << 8;
inline constexpr uint32_t i2cAcknowledge = 1u << 25;
}  // namespace status

inline constexpr uint32_t kWindowBytes = 4096;
inline constexpr uint8_t kEepromAddress = 0xA0;
// A write to the I2C register with this bit set starts a controller transfer;
// without it the write drives the clock (bit 1) and data (bit 0) lines.
inline constexpr uint32_t kI2cControllerMode = 0x80;

class CaptureCard final : private I2cDevices {
 public:
  CaptureCard();

  // Takes a test's setup; `nowMs` starts its script.
  void configure(const SimSetup& setup, uint32_t nowMs);
  bool present() const { return variant_ != CardVariant::noCard; }
  bool matches(uint32_t vendorId, uint32_t deviceId) const;
  void pciConfig(uint8_t (&out)[256]) const;

  // Offsets are byte offsets into the window, 4-byte aligned by the caller.
  uint32_t readRegister(uint32_t offset, uint32_t nowMs);
  void writeRegister(uint32_t offset, uint32_t value, uint32_t nowMs);

  // What the receiver sees now.
  uint32_t receiverValue(uint32_t nowMs) const;

 private:
  bool answers(uint8_t address) const override;
  uint8_t readByte(uint8_t address) override;
  void writeByte(uint8_t address, uint8_t value) override;
  void begin(uint8_t address) override;

  void writeI2c(uint32_t value);
  uint32_t readI2c() const;

  CardVariant variant_ = CardVariant::gpioReceiver;
  uint32_t subsystemId_ = 0;
  uint8_t irReadAddress_ = 0x35;
  uint32_t idleValue_ = 0;
  uint32_t stepCount_ = 0;
  ScriptStep steps_[kMaxScriptSteps] = {};
  uint32_t scriptStartMs_ = 0;

  uint32_t registers_[kWindowBytes / 4] = {};
  uint32_t interruptStatus_ = 0;
  uint32_t i2cWritten_ = 0;
  uint8_t i2cData_ = 0;
  uint32_t gpioOutputEnable_ = 0;
  uint32_t gpioOut_ = 0;

  uint8_t eeprom_[256] = {};
  uint8_t eepromPointer_ = 0;
  bool eepromPointerSet_ = false;
  uint8_t irFrame_[3] = {};
  uint8_t irNext_ = 0;
  uint32_t nowMs_ = 0;
  I2cBus bus_;
};

}  // namespace vexa::hwsim
