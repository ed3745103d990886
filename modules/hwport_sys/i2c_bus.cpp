#include "modules/hwport_sys/i2c_bus.h"

namespace vexa::hwsim {

ControllerResult I2cBus::controllerRead(uint8_t address) {
  address |= 1;
  if (!devices_.answers(address)) return {false, 0xFF};
  devices_.begin(address);
  return {true, devices_.readByte(address)};
}

ControllerResult I2cBus::controllerWrite(uint8_t address, uint8_t first, bool hasSecond, uint8_t second) {
  address &= 0xFE;
  if (!devices_.answers(address)) return {false, 0};
  devices_.begin(address);
  devices_.writeByte(address, first);
  if (hasSecond) devices_.writeByte(address, second);
  return {true, 0};
}

void I2cBus::reset() {
  scl_ = masterSda_ = slaveSda_ = true;
  state_ = State::idle;
}

void I2cBus::setLines(bool scl, bool sda) {
  if (sda != masterSda_) {
    masterSda_ = sda;
    if (scl_) {
      // Data changing while the clock is high frames a transfer.
      if (!sda) {
        onStart();
      } else {
        state_ = State::idle;
        slaveSda_ = true;
      }
    }
  }
  if (scl != scl_) {
    scl_ = scl;
    if (scl) onClockRise();
    else onClockFall();
  }
}

void I2cBus::onStart() {
  state_ = State::address;
  shift_ = 0;
  bits_ = 0;
  slaveSda_ = true;
}

void I2cBus::onClockRise() {
  switch (state_) {
    case State::address:
    case State::writeData:
      shift_ = static_cast<uint8_t>(shift_ << 1 | (masterSda_ ? 1 : 0));
      ++bits_;
      break;
    case State::masterAck:
      masterAcked_ = !masterSda_;
      break;
    default:
      break;
  }
}

void I2cBus::loadByteForRead() {
  outByte_ = devices_.readByte(address_);
  outBit_ = 7;
  slaveSda_ = (outByte_ >> outBit_ & 1) != 0;
  state_ = State::readData;
}

void I2cBus::onClockFall() {
  switch (state_) {
    case State::address:
      if (bits_ < 8) break;
      if (devices_.answers(shift_)) {
        address_ = shift_;
        reading_ = (shift_ & 1) != 0;
        devices_.begin(address_);
        slaveSda_ = false;
        state_ = State::ackOut;
      } else {
        state_ = State::ignore;
      }
      break;
    case State::writeData:
      if (bits_ < 8) break;
      devices_.writeByte(address_, shift_);
      slaveSda_ = false;
      state_ = State::ackOut;
      break;
    case State::ackOut:
      slaveSda_ = true;
      if (reading_) {
        loadByteForRead();
      } else {
        state_ = State::writeData;
        shift_ = 0;
        bits_ = 0;
      }
      break;
    case State::readData:
      if (outBit_ == 0) {
        slaveSda_ = true;
        state_ = State::masterAck;
      } else {
        --outBit_;
        slaveSda_ = (outByte_ >> outBit_ & 1) != 0;
      }
      break;
    case State::masterAck:
      if (masterAcked_) loadByteForRead();
      else state_ = State::ignore;
      break;
    default:
      break;
  }
}

}  // namespace vexa::hwsim
