#pragma once
// The capture chip's register window as the plug-in reaches it: 32-bit
// registers at byte offsets, and a wait that the I2C timing needs.
#include <cstdint>

namespace vexa::tunerbox {

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

class IChipRegisters {
 public:
  virtual ~IChipRegisters() = default;
  virtual uint32_t read(uint32_t offset) = 0;
  // False when the request failed.
  virtual bool write(uint32_t offset, uint32_t value) = 0;
  // At least this long.
  virtual void waitMicroseconds(uint32_t microseconds) = 0;
};

}  // namespace vexa::tunerbox
