#include "modules/hwport_sys/capture_card.h"

namespace vexa::hwsim {
namespace {

void put16(uint8_t (&out)[256], uint32_t at, uint32_t value) {
  out[at] = static_cast<uint8_t>(value);
  out[at + 1] = static_cast<uint8_t>(value >> 8);
}

void put32(uint8_t (&out)[256], uint32_t at, uint32_t value) {
  put16(out, at, value);
  put16(out, at + 2, value >> 16);
}

}  // namespace

CaptureCard::CaptureCard() : bus_(*this) {
  SimSetup idle{};
  idle.irReadAddress = 0x35;
  configure(idle, 0);
}

void CaptureCard::configure(const SimSetup& setup, uint32_t nowMs) {
  variant_ = static_cast<CardVariant>(setup.variant);
  subsystemId_ = setup.subsystemId;
  irReadAddress_ = static_cast<uint8_t>(setup.irReadAddress | 1);
  idleValue_ = setup.idleValue;
  stepCount_ = setup.stepCount < kMaxScriptSteps ? setup.stepCount : kMaxScriptSteps;
  for (uint32_t i = 0; i < stepCount_; ++i) steps_[i] = setup.steps[i];
  scriptStartMs_ = nowMs;
  // A real EEPROM's unused bytes read as erased.
  for (auto& byte : eeprom_) byte = 0xFF;
  for (int i = 0; i < 4; ++i) eeprom_[252 + i] = static_cast<uint8_t>(subsystemId_ >> (24 - 8 * i));
  bus_.reset();
}

bool CaptureCard::matches(uint32_t vendorId, uint32_t deviceId) const {
  return present() && vendorId == kSimVendorId && deviceId == kSimDeviceId;
}

void CaptureCard::pciConfig(uint8_t (&out)[256]) const {
  for (auto& byte : out) byte = 0;
  put16(out, 0x00, kSimVendorId);
  put16(out, 0x02, kSimDeviceId);
  put16(out, 0x04, 0x0006);       // memory space and bus master enabled
  put16(out, 0x06, 0x0280);
  out[0x08] = 0x11;               // revision
  out[0x0B] = 0x04;               // multimedia controller
  out[0x0D] = 0x40;
  out[0x0E] = 0x80;               // multi-function: the audio half is function 1
  put32(out, 0x10, kSimWindowBase | 0x8);  // prefetchable memory
  put16(out, 0x2C, subsystemId_ & 0xFFFF);
  put16(out, 0x2E, subsystemId_ >> 16);
  out[0x3C] = static_cast<uint8_t>(kSimInterruptLine);
  out[0x3D] = 1;
  out[0x3E] = 0x10;
  out[0x3F] = 0x28;
}

uint32_t CaptureCard::receiverValue(uint32_t nowMs) const {
  uint32_t elapsed = nowMs - scriptStartMs_;
  for (uint32_t i = 0; i < stepCount_; ++i) {
    if (elapsed < steps_[i].durationMs) return steps_[i].value;
    elapsed -= steps_[i].durationMs;
  }
  return idleValue_;
}

uint32_t CaptureCard::readRegister(uint32_t offset, uint32_t nowMs) {
  nowMs_ = nowMs;
  switch (offset) {
    case reg::interruptStatus:
      return interruptStatus_;
    case reg::i2c:
      return readI2c();
    case reg::gpioOutputEnable:
      return gpioOutputEnable_;
    case reg::gpioData: {
      const uint32_t pins = variant_ == CardVariant::gpioReceiver ? receiverValue(nowMs) : 0;
      return (gpioOut_ & gpioOutputEnable_) | (pins & ~gpioOutputEnable_);
    }
    default:
      return registers_[offset / 4];
  }
}

void CaptureCard::writeRegister(uint32_t offset, uint32_t value, uint32_t nowMs) {
  nowMs_ = nowMs;
  switch (offset) {
    case reg::interruptStatus:
      interruptStatus_ &= ~value;  // write one to clear
      break;
    case reg::i2c:
      writeI2c(value);
      break;
    case reg::gpioOutputEnable:
      gpioOutputEnable_ = value & 0xFFFFFF;
      break;
    case reg::gpioData:
      gpioOut_ = value & 0xFFFFFF;
      break;
    default:
      registers_[offset / 4] = value;
  }
}

void CaptureCard::writeI2c(uint32_t value) {
  i2cWritten_ = value;
  if (!(value & kI2cControllerMode)) {
    bus_.setLines((value & 2) != 0, (value & 1) != 0);
    return;
  }
  // The controller's transfer completes at once: done, with the acknowledge.
  bus_.reset();
  const uint8_t address = static_cast<uint8_t>(value >> 24);
  ControllerResult result{};
  if (address & 1) {
    result = bus_.controllerRead(address);
    i2cData_ = result.data;
  } else {
    result = bus_.controllerWrite(address, static_cast<uint8_t>(value >> 16), (value & 4) != 0,
                                  static_cast<uint8_t>(value >> 8));
  }
  interruptStatus_ |= status::i2cDone;
  if (result.acknowledged) interruptStatus_ |= status::i2cAcknowledge;
  else interruptStatus_ &= ~status::i2cAcknowledge;
}

uint32_t CaptureCard::readI2c() const {
  return (i2cWritten_ & 0xFFFF00FCu) | uint32_t{i2cData_} << 8 | (bus_.scl() ? 2u : 0u) | (bus_.sda() ? 1u : 0u);
}

bool CaptureCard::answers(uint8_t address) const {
  if (!present()) return false;
  if ((address & 0xFE) == kEepromAddress) return true;
  return variant_ == CardVariant::microcontrollerReceiver && (address | 1) == irReadAddress_;
}

void CaptureCard::begin(uint8_t address) {
  if ((address & 0xFE) == kEepromAddress) {
    eepromPointerSet_ = false;
    return;
  }
  // The microcontroller answers each transfer with the current button state.
  const uint32_t value = receiverValue(nowMs_);
  irFrame_[0] = static_cast<uint8_t>(value >> 8);
  irFrame_[1] = static_cast<uint8_t>(value);
  irFrame_[2] = static_cast<uint8_t>(value >> 16);
  irNext_ = 0;
}

uint8_t CaptureCard::readByte(uint8_t address) {
  if ((address & 0xFE) == kEepromAddress) return eeprom_[eepromPointer_++];
  const uint8_t byte = irNext_ < 3 ? irFrame_[irNext_] : 0xFF;
  ++irNext_;
  return byte;
}

void CaptureCard::writeByte(uint8_t address, uint8_t value) {
  if ((address & 0xFE) != kEepromAddress) return;
  // The first byte of a write sets the pointer; the EEPROM is read-only here.
  if (!eepromPointerSet_) {
    eepromPointer_ = value;
    eepromPointerSet_ = true;
  }
}

}  // namespace vexa::hwsim
