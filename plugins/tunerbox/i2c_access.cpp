#include "plugins/tunerbox/i2c_access.h"

namespace vexa::tunerbox {
namespace {

// Bits the chip needs on every controller transfer: start, stop, write/read enable.
constexpr uint32_t kControllerBits = 0x83;
constexpr uint32_t kSecondByte = 4;
constexpr uint32_t kScl = 2;
constexpr uint32_t kSda = 1;
// The slowest standard-mode device needs this after each line change.
constexpr uint32_t kLineSettleUs = 10;

}  // namespace

std::optional<EepromImage> readEeprom(II2cController& bus) {
  if (bus.controllerWrite(kEepromAddress, 0) != 0) return std::nullopt;
  EepromImage image{};
  for (auto& byte : image) {
    const int value = bus.controllerRead(kEepromAddress, true);
    if (value < 0) return std::nullopt;
    byte = static_cast<uint8_t>(value);
  }
  return image;
}

std::optional<uint32_t> CI2cAccess::transfer(uint32_t command, int timeoutMs) {
  registers_.write(reg::interruptStatus, status::i2cDone);
  registers_.write(reg::i2c, command);
  for (int ms = 0; ms < timeoutMs; ++ms) {
    const uint32_t stat = registers_.read(reg::interruptStatus);
    if (stat & status::i2cDone) return stat;
    registers_.waitMicroseconds(1000);
  }
  return std::nullopt;
}

int CI2cAccess::controllerRead(uint8_t address, bool acknowledgeRequired, int timeoutMs) {
  const auto stat = transfer(kControllerBits | uint32_t(address | 1) << 24, timeoutMs);
  if (!stat) return kI2cTimeout;
  if (acknowledgeRequired && !(*stat & status::i2cAcknowledge)) return kI2cNoAcknowledge;
  return static_cast<int>(registers_.read(reg::i2c) >> 8 & 0xFF);
}

int CI2cAccess::controllerWrite(uint8_t address, uint8_t first, std::optional<uint8_t> second) {
  uint32_t command = kControllerBits | uint32_t(address) << 24 | uint32_t(first) << 16;
  if (second) command |= uint32_t(*second) << 8 | kSecondByte;
  const auto stat = transfer(command, kI2cTimeoutMs);
  if (!stat) return kI2cTimeout;
  return (*stat & status::i2cAcknowledge) ? 0 : kI2cNoAcknowledge;
}

void CI2cAccess::setLines(bool scl, bool sda) {
  registers_.write(reg::i2c, (scl ? kScl : 0) | (sda ? kSda : 0));
  // The read-back flushes the posted write before the wait starts.
  registers_.read(reg::i2c);
  registers_.waitMicroseconds(kLineSettleUs);
}

bool CI2cAccess::dataLine() { return (registers_.read(reg::i2c) & kSda) != 0; }

void CI2cAccess::start() {
  setLines(false, true);
  setLines(true, true);
  setLines(true, false);
  setLines(false, false);
}

void CI2cAccess::stop() {
  setLines(false, false);
  setLines(true, false);
  setLines(true, true);
}

bool CI2cAccess::sendByte(uint8_t byte, uint32_t ackDelayUs) {
  for (int bit = 7; bit >= 0; --bit) {
    const bool value = (byte >> bit & 1) != 0;
    setLines(false, value);
    setLines(true, value);
    setLines(false, value);
  }
  setLines(false, true);  // the device drives the acknowledge
  if (ackDelayUs) registers_.waitMicroseconds(ackDelayUs);
  setLines(true, true);
  const bool acknowledged = !dataLine();
  setLines(false, true);
  return acknowledged;
}

uint8_t CI2cAccess::receiveByte(bool acknowledge) {
  uint8_t byte = 0;
  setLines(false, true);
  for (int bit = 0; bit < 8; ++bit) {
    setLines(true, true);
    byte = static_cast<uint8_t>(byte << 1 | (dataLine() ? 1 : 0));
    setLines(false, true);
  }
  setLines(false, !acknowledge);
  setLines(true, !acknowledge);
  setLines(false, !acknowledge);
  setLines(false, true);
  return byte;
}

}  // namespace vexa::tunerbox
