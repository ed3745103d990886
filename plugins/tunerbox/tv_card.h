#pragma once
// The capture card: the chip found on the PCI bus and its register window,
// the card model, the infrared microcontroller if there is one, and the
// receiver read through either.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "plugins/tunerbox/chip_registers.h"
#include "plugins/tunerbox/hardware_library.h"
#include "plugins/tunerbox/i2c_access.h"
#include "plugins/tunerbox/receiver_decoder.h"

namespace vexa::tunerbox {

inline constexpr uint32_t kChipVendorId = 0x109E;
// Bt848, Bt849, Bt878, Bt879: searched in this order.
inline constexpr uint16_t kChipDeviceIds[] = {0x350, 0x351, 0x36E, 0x36F};

struct ChipInfo {
  uint16_t deviceId = 0;
  uint8_t revision = 0;
  uint8_t interruptLine = 0;
  uint32_t registerBase = 0;  // physical, from the first base address register
  uint32_t windowBase = 0, windowSize = 0;
  std::array<uint8_t, 256> config{};
};

class CTvCard final : private IChipRegisters {
 public:
  using Wait = std::function<void(uint32_t microseconds)>;
  CTvCard(IHardwareLibrary& hardware, Wait wait);
  ~CTvCard() override;
  CTvCard(const CTvCard&) = delete;
  CTvCard& operator=(const CTvCard&) = delete;

  // Releases any earlier mapping, then maps the first chip that answers.
  bool findChip();
  bool chipFound() const { return chip_.has_value(); }
  const std::optional<ChipInfo>& chip() const { return chip_; }

  // Both need the chip.
  int identify();
  uint8_t findMicrocontroller();
  int model() const { return model_; }
  const std::optional<EepromImage>& eeprom() const { return eeprom_; }
  uint8_t microcontrollerAddress() const { return microcontroller_; }

  // Takes the configuration, starts from the pins as they are and drives the
  // output enable; false when that write failed.
  bool applyGpio(const GpioConfig& config);
  // One poll: nothing when there is no new code.
  std::optional<uint32_t> readReceiver();

  IChipRegisters& registers() { return *this; }
  CI2cAccess& i2c() { return i2c_; }

 private:
  uint32_t read(uint32_t offset) override;
  bool write(uint32_t offset, uint32_t value) override;
  void waitMicroseconds(uint32_t microseconds) override;
  void unmap();
  std::optional<MicrocontrollerFrame> readMicrocontroller();

  IHardwareLibrary& hardware_;
  Wait wait_;
  CI2cAccess i2c_;
  std::optional<ChipInfo> chip_;
  int model_ = 0;
  std::optional<EepromImage> eeprom_;
  uint8_t microcontroller_ = 0;
  CReceiverDecoder decoder_;
};

}  // namespace vexa::tunerbox
