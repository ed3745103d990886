#include "plugins/tunerbox/tv_card.h"

#include "plugins/tunerbox/card_identification.h"

namespace vexa::tunerbox {
namespace {

constexpr uint32_t kMicrocontrollerAckDelayUs = 200;

uint32_t configWord(const std::array<uint8_t, 256>& config, size_t at) {
  return uint32_t{config[at]} | uint32_t{config[at + 1]} << 8 | uint32_t{config[at + 2]} << 16 |
         uint32_t{config[at + 3]} << 24;
}

}  // namespace

CTvCard::CTvCard(IHardwareLibrary& hardware, Wait wait)
    : hardware_(hardware), wait_(std::move(wait)), i2c_(*this) {}

CTvCard::~CTvCard() { unmap(); }

void CTvCard::unmap() {
  if (chip_) hardware_.memUnmap(chip_->windowBase, chip_->windowSize);
  chip_.reset();
}

bool CTvCard::findChip() {
  unmap();
  for (uint16_t deviceId : kChipDeviceIds) {
    uint32_t base = 0, size = 0, irq = 0;
    if (hardware_.pciGetHardwareResources(kChipVendorId, deviceId, &base, &size, &irq) != 0) continue;
    ChipInfo info;
    if (hardware_.pciGetCommonConfig(kChipVendorId, deviceId, info.config.data()) != 0) return false;
    // Without its window the chip is as good as absent.
    if (hardware_.memMap(base, size) == 0) return false;
    info.deviceId = static_cast<uint16_t>(info.config[2] | info.config[3] << 8);
    info.revision = info.config[8];
    info.interruptLine = info.config[0x3C];
    info.registerBase = configWord(info.config, 0x10) & ~0xFFFu;
    info.windowBase = base;
    info.windowSize = size;
    chip_ = info;
    return true;
  }
  return false;
}

int CTvCard::identify() {
  if (!chip_) return model_ = 0;
  auto identity = identifyCard(i2c_, chip_->deviceId);
  eeprom_ = identity.eeprom;
  return model_ = identity.model;
}

uint8_t CTvCard::findMicrocontroller() {
  microcontroller_ = chip_ ? tunerbox::findMicrocontroller(i2c_) : 0;
  return microcontroller_;
}

bool CTvCard::applyGpio(const GpioConfig& config) {
  if (!chip_) return false;
  decoder_.configure(config, read(reg::gpioData));
  return write(reg::gpioOutputEnable, config.outEn);
}

std::optional<MicrocontrollerFrame> CTvCard::readMicrocontroller() {
  i2c_.start();
  if (!i2c_.sendByte(microcontroller_, kMicrocontrollerAckDelayUs)) {
    i2c_.stop();
    return std::nullopt;
  }
  MicrocontrollerFrame frame{};
  frame.b = i2c_.receiveByte(true);
  frame.c = i2c_.receiveByte(true);
  frame.d = i2c_.receiveByte(false);
  i2c_.stop();
  return frame;
}

std::optional<uint32_t> CTvCard::readReceiver() {
  if (!chip_) return std::nullopt;
  if (microcontroller_) return decoder_.microcontroller(readMicrocontroller(), model_);
  if (decoder_.config().mask == 0) return std::nullopt;
  return decoder_.gpio(read(reg::gpioData));
}

uint32_t CTvCard::read(uint32_t offset) { return hardware_.memRead(offset); }
bool CTvCard::write(uint32_t offset, uint32_t value) { return hardware_.memWrite(offset, value) == 0; }
void CTvCard::waitMicroseconds(uint32_t microseconds) {
  if (wait_) wait_(microseconds);
}

}  // namespace vexa::tunerbox
