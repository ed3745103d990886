#pragma once
// The capture chip's I2C bus with the devices a card carries: its EEPROM and,
// on some cards, an infrared microcontroller. Reached either through the
// chip's byte-transfer controller or by driving the two lines bit by bit.
// Freestanding: the kernel driver builds it without a standard library.

#include <cstdint>

namespace vexa::hwsim {

class I2cDevices {
 public:
  virtual bool answers(uint8_t address) const = 0;  // 8-bit address, read bit included
  virtual uint8_t readByte(uint8_t address) = 0;
  virtual void writeByte(uint8_t address, uint8_t value) = 0;
  // A new transfer to `address` begins (after a start condition).
  virtual void begin(uint8_t address) = 0;

 protected:
  ~I2cDevices() = default;
};

struct ControllerResult {
  bool acknowledged;
  uint8_t data;
};

class I2cBus {
 public:
  explicit I2cBus(I2cDevices& devices) : devices_(devices) {}

  // One transfer of the controller: address, then one or two data bytes for a
  // write, or one byte read back.
  ControllerResult controllerRead(uint8_t address);
  ControllerResult controllerWrite(uint8_t address, uint8_t first, bool hasSecond, uint8_t second);

  // The master sets both lines; the bus follows start, stop and clock edges.
  void setLines(bool scl, bool sda);
  bool scl() const { return scl_; }
  // The wire: low when either side pulls it low.
  bool sda() const { return masterSda_ && slaveSda_; }
  // Lines released and the bit-level transfer forgotten.
  void reset();

 private:
  enum class State { idle, address, ackOut, writeData, readData, masterAck, ignore };
  void onStart();
  void onClockRise();
  void onClockFall();
  void loadByteForRead();

  I2cDevices& devices_;
  bool scl_ = true;
  bool masterSda_ = true;
  bool slaveSda_ = true;
  State state_ = State::idle;
  uint8_t shift_ = 0;
  int bits_ = 0;
  uint8_t address_ = 0;
  bool reading_ = false;
  bool masterAcked_ = false;
  uint8_t outByte_ = 0;
  int outBit_ = 0;
};

}  // namespace vexa::hwsim
