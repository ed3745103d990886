// The stand-in driver's simulated capture card, as the TV-card plug-in will
// drive it: controller and bit-level I2C transfers, the EEPROM's subsystem id,
// the infrared microcontroller, and GPIO pins played from a script.

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>

#include "modules/hwport_sys/capture_card.h"

namespace vexa::hwsim {
namespace {

class CaptureCardTest : public ::testing::Test {
 protected:
  void setup(CardVariant variant, uint32_t idle, std::initializer_list<ScriptStep> steps, uint32_t subsystemId = 0,
             uint32_t irAddress = 0x35) {
    SimSetup s{};
    s.variant = static_cast<uint32_t>(variant);
    s.subsystemId = subsystemId;
    s.irReadAddress = irAddress;
    s.idleValue = idle;
    for (const auto& step : steps) s.steps[s.stepCount++] = step;
    card.configure(s, now);
  }

  // The chip's controller: one transfer per register write, done at once.
  bool controllerRead(uint8_t address, uint8_t* data = nullptr) {
    card.writeRegister(reg::interruptStatus, status::i2cDone, now);
    card.writeRegister(reg::i2c, 0x83 | uint32_t(address | 1) << 24, now);
    const uint32_t stat = card.readRegister(reg::interruptStatus, now);
    EXPECT_TRUE(stat & status::i2cDone);
    if (data) *data = static_cast<uint8_t>(card.readRegister(reg::i2c, now) >> 8);
    return (stat & status::i2cAcknowledge) != 0;
  }
  bool controllerWrite(uint8_t address, uint8_t byte) {
    card.writeRegister(reg::interruptStatus, status::i2cDone, now);
    card.writeRegister(reg::i2c, 0x83 | uint32_t(address) << 24 | uint32_t(byte) << 16, now);
    return (card.readRegister(reg::interruptStatus, now) & status::i2cAcknowledge) != 0;
  }

  // A bit-level master on the clock (bit 1) and data (bit 0) lines.
  void lines(bool scl, bool sda) { card.writeRegister(reg::i2c, (scl ? 2u : 0u) | (sda ? 1u : 0u), now); }
  bool sda() { return (card.readRegister(reg::i2c, now) & 1) != 0; }
  void start() {
    lines(false, true);
    lines(true, true);
    lines(true, false);
    lines(false, false);
  }
  void stop() {
    lines(false, false);
    lines(true, false);
    lines(true, true);
  }
  bool sendByte(uint8_t byte) {
    for (int bit = 7; bit >= 0; --bit) {
      const bool value = (byte >> bit & 1) != 0;
      lines(false, value);
      lines(true, value);
      lines(false, value);
    }
    lines(false, true);
    lines(true, true);
    const bool acknowledged = !sda();
    lines(false, true);
    return acknowledged;
  }
  uint8_t receiveByte(bool acknowledge) {
    uint8_t byte = 0;
    lines(false, true);
    for (int bit = 0; bit < 8; ++bit) {
      lines(true, true);
      byte = static_cast<uint8_t>(byte << 1 | (sda() ? 1 : 0));
      lines(false, true);
    }
    lines(false, !acknowledge);
    lines(true, !acknowledge);
    lines(false, !acknowledge);
    lines(false, true);
    return byte;
  }

  uint32_t now = 1000;
  CaptureCard card;
};

TEST_F(CaptureCardTest, PciConfigurationNamesTheChipItsWindowAndItsInterrupt) {
  setup(CardVariant::gpioReceiver, 0, {}, 0x13EB0070);
  uint8_t config[256];
  card.pciConfig(config);
  EXPECT_EQ(0x109E, config[0] | config[1] << 8);
  EXPECT_EQ(0x036E, config[2] | config[3] << 8);
  EXPECT_EQ(kSimWindowBase | 8u, uint32_t(config[0x10] | config[0x11] << 8 | config[0x12] << 16) |
                                     uint32_t(config[0x13]) << 24);
  EXPECT_EQ(kSimInterruptLine, config[0x3C]);
  EXPECT_EQ(0x0070, config[0x2C] | config[0x2D] << 8);
  EXPECT_EQ(0x13EB, config[0x2E] | config[0x2F] << 8);
  EXPECT_TRUE(card.matches(0x109E, 0x036E));
  EXPECT_FALSE(card.matches(0x109E, 0x0350));
  setup(CardVariant::noCard, 0, {});
  EXPECT_FALSE(card.matches(0x109E, 0x036E));
}

TEST_F(CaptureCardTest, TheEepromHoldsTheSubsystemIdBigEndianAtItsEnd) {
  setup(CardVariant::gpioReceiver, 0, {}, 0x13EB0070);
  ASSERT_TRUE(controllerWrite(kEepromAddress, 0));
  uint8_t image[256];
  for (auto& byte : image) ASSERT_TRUE(controllerRead(kEepromAddress, &byte));
  EXPECT_EQ(0x13, image[252]);
  EXPECT_EQ(0xEB, image[253]);
  EXPECT_EQ(0x00, image[254]);
  EXPECT_EQ(0x70, image[255]);
  EXPECT_EQ(0xFF, image[0]);
}

TEST_F(CaptureCardTest, ControllerTransfersReportDoneAndWhetherTheyWereAcknowledged) {
  setup(CardVariant::gpioReceiver, 0, {});
  EXPECT_FALSE(controllerRead(0xAE));
  EXPECT_FALSE(controllerRead(0x35)) << "a GPIO card has no microcontroller";
  card.writeRegister(reg::interruptStatus, status::i2cDone, now);
  EXPECT_EQ(0u, card.readRegister(reg::interruptStatus, now) & status::i2cDone) << "writing one clears";
}

TEST_F(CaptureCardTest, TheMicrocontrollerAnswersOnlyAtItsOwnAddress) {
  setup(CardVariant::microcontrollerReceiver, 0, {}, 0, 0x33);
  EXPECT_FALSE(controllerRead(0x35));
  EXPECT_TRUE(controllerRead(0x33));
  EXPECT_FALSE(controllerRead(0x31));
}

TEST_F(CaptureCardTest, BitLevelReadOfTheMicrocontrollerGivesTheButtonsThreeBytes) {
  setup(CardVariant::microcontrollerReceiver, 0, {{0x2A1734, 500}});
  start();
  ASSERT_TRUE(sendByte(0x35));
  EXPECT_EQ(0x17, receiveByte(true));
  EXPECT_EQ(0x34, receiveByte(true));
  EXPECT_EQ(0x2A, receiveByte(false));
  stop();
  now += 600;
  start();
  ASSERT_TRUE(sendByte(0x35));
  EXPECT_EQ(0x00, receiveByte(true)) << "released: the idle value";
  EXPECT_EQ(0x00, receiveByte(false));
  stop();
}

TEST_F(CaptureCardTest, BitLevelAddressWithoutADeviceIsNotAcknowledged) {
  setup(CardVariant::gpioReceiver, 0, {});
  start();
  EXPECT_FALSE(sendByte(0x35));
  stop();
  EXPECT_TRUE(sda()) << "the line is released after the stop";
}

TEST_F(CaptureCardTest, BitLevelRandomReadOfTheEepromWithARepeatedStart) {
  setup(CardVariant::gpioReceiver, 0, {}, 0x00041461);
  start();
  ASSERT_TRUE(sendByte(kEepromAddress));
  ASSERT_TRUE(sendByte(252));
  start();
  ASSERT_TRUE(sendByte(kEepromAddress | 1));
  EXPECT_EQ(0x00, receiveByte(true));
  EXPECT_EQ(0x04, receiveByte(true));
  EXPECT_EQ(0x14, receiveByte(true));
  EXPECT_EQ(0x61, receiveByte(false));
  stop();
}

TEST_F(CaptureCardTest, GpioPinsPlayTheScriptThenRestAtTheIdleValue) {
  setup(CardVariant::gpioReceiver, 0x100, {{0x1F, 200}, {0x100, 100}, {0x2F, 50}});
  EXPECT_EQ(0x1Fu, card.readRegister(reg::gpioData, now));
  EXPECT_EQ(0x1Fu, card.readRegister(reg::gpioData, now + 199));
  EXPECT_EQ(0x100u, card.readRegister(reg::gpioData, now + 200));
  EXPECT_EQ(0x2Fu, card.readRegister(reg::gpioData, now + 300));
  EXPECT_EQ(0x100u, card.readRegister(reg::gpioData, now + 350));
  EXPECT_EQ(0x100u, card.readRegister(reg::gpioData, now + 100000));
}

TEST_F(CaptureCardTest, OutputPinsReadBackWhatWasWrittenInputPinsTheReceiver) {
  setup(CardVariant::gpioReceiver, 0xF0F0F0, {});
  card.writeRegister(reg::gpioOutputEnable, 0x0000FF, now);
  card.writeRegister(reg::gpioData, 0x123456, now);
  EXPECT_EQ(0x0000FFu, card.readRegister(reg::gpioOutputEnable, now));
  EXPECT_EQ(0xF0F056u, card.readRegister(reg::gpioData, now));
  card.writeRegister(0x104, 0xCAFE, now);
  EXPECT_EQ(0xCAFEu, card.readRegister(0x104, now)) << "other registers keep what was written";
}

}  // namespace
}  // namespace vexa::hwsim
