// The TV-card plug-in's hardware side against the stand-in driver's simulated
// card: I2C transfers both ways, the EEPROM, card identification, the
// microcontroller probe and the receiver read through the card object.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "plugins/tunerbox/card_identification.h"
#include "plugins/tunerbox/card_table.h"
#include "plugins/tunerbox/tv_card.h"
#include "tests/core/tunerbox/sim_hardware.h"

namespace vexa::tunerbox {
namespace {

using hwsim::CardVariant;
using testing::CSimHardware;

class TvCardTest : public ::testing::Test {
 protected:
  CSimHardware hw;
  CTvCard card{hw, [this](uint32_t us) { hw.wait(us); }};

  // The card as the plug-in sets it up, then polled every 50 ms until `untilMs`.
  std::map<uint32_t, uint32_t> pollEvery50Ms(uint32_t untilMs) {
    std::map<uint32_t, uint32_t> codes;  // poll time -> code
    for (uint32_t ms = 0; ms < untilMs; ms += 50) {
      // Bit-level transfers take their own time; each poll starts on the beat.
      hw.nowUs = std::max<uint64_t>(hw.nowUs, uint64_t{ms} * 1000);
      if (auto code = card.readReceiver()) codes[ms] = *code;
    }
    return codes;
  }
};

// A chip whose status register never reports a finished transfer.
class CStuckRegisters final : public IChipRegisters {
 public:
  uint64_t waitedUs = 0;
  uint32_t read(uint32_t) override { return 0; }
  bool write(uint32_t, uint32_t) override { return true; }
  void waitMicroseconds(uint32_t us) override { waitedUs += us; }
};

// A bus where only the listed addresses answer, each with its address as data.
class CProbeBus final : public II2cController {
 public:
  explicit CProbeBus(std::initializer_list<uint8_t> present) : present_(present) {}
  std::vector<uint8_t> asked;
  int controllerRead(uint8_t address, bool, int) override {
    asked.push_back(address);
    return std::find(present_.begin(), present_.end(), address) != present_.end() ? address : kI2cNoAcknowledge;
  }
  int controllerWrite(uint8_t, uint8_t, std::optional<uint8_t>) override { return kI2cNoAcknowledge; }

 private:
  std::vector<uint8_t> present_;
};

TEST_F(TvCardTest, FindsTheSimulatedBt878AndMapsItsWindowOnce) {
  ASSERT_TRUE(card.findChip());
  const auto& chip = *card.chip();
  EXPECT_EQ(chip.deviceId, 0x36E);
  EXPECT_EQ(chip.revision, 0x11);
  EXPECT_EQ(chip.interruptLine, 11);
  EXPECT_EQ(chip.registerBase, hwsim::kSimWindowBase);
  // A second search releases the first mapping before it maps again.
  ASSERT_TRUE(card.findChip());
  EXPECT_EQ(hw.maps, 2);
  EXPECT_EQ(hw.unmaps, 1);
}

TEST_F(TvCardTest, NoChipMapsNothingAndReadsNoCode) {
  hw.setup(CardVariant::noCard, 0);
  EXPECT_FALSE(card.findChip());
  EXPECT_EQ(hw.maps, 0);
  EXPECT_FALSE(card.applyGpio({0, 0xFF, 0, 0, 0}));
  EXPECT_FALSE(card.readReceiver());
}

TEST_F(TvCardTest, TheCardUnmapsItsWindowWhenItGoes) {
  {
    CTvCard other{hw, [this](uint32_t us) { hw.wait(us); }};
    ASSERT_TRUE(other.findChip());
    EXPECT_TRUE(hw.mapped);
  }
  EXPECT_FALSE(hw.mapped);
}

TEST_F(TvCardTest, ControllerTransfersReportAcknowledgeAndData) {
  hw.setup(CardVariant::gpioReceiver, 0, {}, 0x1200BD11);
  ASSERT_TRUE(card.findChip());
  auto& i2c = card.i2c();
  EXPECT_EQ(i2c.controllerWrite(kEepromAddress, 252), 0);
  EXPECT_EQ(i2c.controllerRead(kEepromAddress, true), 0x12);
  EXPECT_EQ(i2c.controllerRead(kEepromAddress, true), 0x00);
  // Nobody at 0x50: required acknowledge missing, else the bus's idle byte.
  EXPECT_EQ(i2c.controllerRead(0x50, true), kI2cNoAcknowledge);
  EXPECT_EQ(i2c.controllerRead(0x50, false), 0xFF);
  EXPECT_EQ(i2c.controllerWrite(0x50, 1, 2), kI2cNoAcknowledge);
}

TEST(I2cAccess, TransfersTimeOutAfterAHundredMillisecondPolls) {
  CStuckRegisters chip;
  CI2cAccess i2c(chip);
  EXPECT_EQ(i2c.controllerRead(0xA0, true), kI2cTimeout);
  EXPECT_GE(chip.waitedUs, 100'000u);
  EXPECT_LE(chip.waitedUs, 101'000u);
  EXPECT_EQ(i2c.controllerWrite(0xA0, 0), kI2cTimeout);
  EXPECT_EQ(i2c.controllerRead(0xA0, true, 5), kI2cTimeout);
  EXPECT_LE(chip.waitedUs, 206'000u);
}

TEST_F(TvCardTest, EveryLineChangeOfTheBitLevelTransferIsFollowedByTenMicroseconds) {
  hw.setup(CardVariant::microcontrollerReceiver, 0, {}, 0, 0x33);
  ASSERT_TRUE(card.findChip());
  ASSERT_EQ(card.findMicrocontroller(), 0x33);
  card.readReceiver();
  ASSERT_GT(hw.lineWritesUs.size(), 30u);
  for (size_t i = 1; i < hw.lineWritesUs.size(); ++i) EXPECT_GE(hw.lineWritesUs[i] - hw.lineWritesUs[i - 1], 10u);
}

TEST_F(TvCardTest, TheEepromImageNamesTheCard) {
  hw.setup(CardVariant::gpioReceiver, 0, {}, 0x1200BD11);
  ASSERT_TRUE(card.findChip());
  EXPECT_EQ(card.identify(), 39);
  ASSERT_TRUE(card.eeprom());
  EXPECT_EQ(subsystemIdOf(*card.eeprom()), 0x1200BD11u);
  EXPECT_EQ((*card.eeprom())[0], 0xFF);
  EXPECT_EQ(cardName(card.model()), "Pinnacle PCTV Rave");
}

TEST_F(TvCardTest, WithoutAKnownSubsystemTheDeviceIdDecides) {
  hw.setup(CardVariant::gpioReceiver, 0, {}, 0x12345678);
  ASSERT_TRUE(card.findChip());
  EXPECT_EQ(card.identify(), kHauppaugeBt878);

  EepromImage eeprom{};
  eeprom.fill(0xFF);
  EXPECT_EQ(modelFromEeprom(eeprom, 0x350), kHauppaugeBt848);
  EXPECT_EQ(modelFromEeprom(eeprom, 0x351), kHauppaugeBt848);
  EXPECT_EQ(modelFromEeprom(eeprom, 0x36F), kHauppaugeBt878);
  EXPECT_EQ(modelFromEeprom(eeprom, 0x370), kUnknownCard);
  // A table row may itself say the card is unknown.
  eeprom[252] = 0x40, eeprom[253] = 0x0D, eeprom[254] = 0x15, eeprom[255] = 0xB0;
  EXPECT_EQ(modelFromEeprom(eeprom, 0x36E), kUnknownCard);
}

TEST(CardIdentification, WithoutEepromOtherBusDevicesNameTheCard) {
  CProbeBus stb{0xAE, 0xC0};
  EXPECT_EQ(identifyCard(stb, 0x36E).model, kStbCard);
  EXPECT_FALSE(identifyCard(stb, 0x36E).eeprom);
  CProbeBus vhx{0xC0};
  EXPECT_EQ(identifyCard(vhx, 0x36E).model, kAimslabVhx);
  CProbeBus none{};
  EXPECT_EQ(identifyCard(none, 0x36E).model, kUnknownCard);
  EXPECT_EQ(none.asked, (std::vector<uint8_t>{0xA0, 0xAE, 0xC0}));
}

TEST(CardIdentification, MicrocontrollerProbeTriesItsThreeAddressesInOrder) {
  CProbeBus two{0x33, 0x35};
  EXPECT_EQ(findMicrocontroller(two), 0x35);
  CProbeBus last{0x31};
  EXPECT_EQ(findMicrocontroller(last), 0x31);
  EXPECT_EQ(last.asked, (std::vector<uint8_t>{0x35, 0x33, 0x31}));
  CProbeBus none{};
  EXPECT_EQ(findMicrocontroller(none), 0);
}

TEST_F(TvCardTest, GpioButtonHeldIsReportedOnceAndAgainAfterRelease) {
  hw.setup(CardVariant::gpioReceiver, 0x40, {{0x40, 100}, {0x1240, 300}, {0x40, 200}, {0x1240, 100}});
  ASSERT_TRUE(card.findChip());
  EXPECT_EQ(card.findMicrocontroller(), 0);
  ASSERT_TRUE(card.applyGpio({0x10, 0xFF00, 0, 0, 0}));
  EXPECT_EQ(hw.card.readRegister(hwsim::reg::gpioOutputEnable, 0), 0x10u);
  EXPECT_EQ(pollEvery50Ms(800), (std::map<uint32_t, uint32_t>{{100, 0x1200}, {600, 0x1200}}));
}

TEST_F(TvCardTest, HauppaugeMicrocontrollerCodesFollowTheCardRule) {
  // Bits 8..15 of a step are the first byte, bits 0..7 the second.
  hw.setup(CardVariant::microcontrollerReceiver, 0, {{0x0000, 100}, {0x2004, 100}, {0xFF04, 100}, {0x3A00, 50}});
  ASSERT_TRUE(card.findChip());
  EXPECT_EQ(card.identify(), kHauppaugeBt878);
  ASSERT_EQ(card.findMicrocontroller(), 0x35);
  EXPECT_EQ(pollEvery50Ms(400), (std::map<uint32_t, uint32_t>{{100, 0x004}, {150, 0x004}, {300, 0x1200}}));
}

TEST_F(TvCardTest, OtherMicrocontrollersReportANewCodeOnTheSecondPoll) {
  hw.setup(CardVariant::microcontrollerReceiver, 0xFFFF, {{0x0105, 150}, {0x0107, 100}}, 0x1200BD11, 0x31);
  ASSERT_TRUE(card.findChip());
  ASSERT_EQ(card.identify(), 39);
  ASSERT_EQ(card.findMicrocontroller(), 0x31);
  EXPECT_EQ(pollEvery50Ms(300), (std::map<uint32_t, uint32_t>{{50, 0x0105}, {100, 0x0105}, {200, 0x0107}}));
}

}  // namespace
}  // namespace vexa::tunerbox
