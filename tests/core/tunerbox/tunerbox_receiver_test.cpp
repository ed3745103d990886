// What one poll of the TV-card receiver reports: GPIO values in the three
// flag modes, the microcontrollers' code rules, and code 0 at the start.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "plugins/tunerbox/card_table.h"
#include "plugins/tunerbox/copied_code.h"
#include "plugins/tunerbox/poll_filter.h"
#include "plugins/tunerbox/receiver_decoder.h"

namespace vexa::tunerbox {
namespace {

// The code of each poll, 0xFFFFFFFF for none.
constexpr uint32_t kNone = 0xFFFFFFFF;
std::vector<uint32_t> pollGpio(CReceiverDecoder& decoder, std::initializer_list<uint32_t> readings) {
  std::vector<uint32_t> codes;
  for (uint32_t reading : readings) codes.push_back(decoder.gpio(reading).value_or(kNone));
  return codes;
}

TEST(GpioReceiver, HeldButtonIsReportedOnceInTheOneShotMode) {
  CReceiverDecoder decoder;
  decoder.configure({0, 0x0F00, 0, 0, 0}, 0x5000);
  // Bits outside the mask change nothing; release to 0 is silent.
  EXPECT_EQ(pollGpio(decoder, {0x5000, 0x0300, 0x0300, 0x5300, 0x0000, 0x0300, 0x0400, 0x0300}),
            (std::vector<uint32_t>{kNone, 0x300, kNone, kNone, kNone, 0x300, 0x400, 0x300}));
}

TEST(GpioReceiver, ConfiguringStartsFromTheMaskedPins) {
  CReceiverDecoder decoder;
  // An idle card with a button-like value on its pins: not a press.
  decoder.configure({0, 0x0F00, 0, 0, 0}, 0x7300);
  EXPECT_FALSE(decoder.gpio(0x0300));
  EXPECT_EQ(decoder.gpio(0x0500), 0x500u);
}

TEST(GpioReceiver, UpMaskModeRepeatsHeldButtonsAndNeverReportsTheUpBit) {
  CReceiverDecoder decoder;
  decoder.configure({0, 0xFF, 0x80, 0, gpio_flags::kMasked | gpio_flags::kUpMask}, 0x80);
  EXPECT_EQ(pollGpio(decoder, {0x80, 0x05, 0x05, 0x05, 0x85, 0x86, 0x06, 0x80}),
            (std::vector<uint32_t>{kNone, 0x05, 0x05, 0x05, kNone, kNone, 0x06, kNone}));
  EXPECT_FALSE(decoder.lastCode());
}

TEST(GpioReceiver, DownMaskModeReportsOnlyValuesWithTheDownBit) {
  CReceiverDecoder decoder;
  decoder.configure({0, 0xFF, 0, 0x40, gpio_flags::kMasked}, 0);
  EXPECT_EQ(pollGpio(decoder, {0x05, 0x45, 0x45, 0x05, 0x46, 0x00, 0x46}),
            (std::vector<uint32_t>{kNone, 0x45, 0x45, kNone, 0x46, kNone, 0x46}));
  EXPECT_EQ(decoder.lastCode(), 0x46u);
}

std::optional<uint32_t> frame(CReceiverDecoder& decoder, uint8_t b, uint8_t c, int model) {
  return decoder.microcontroller(MicrocontrollerFrame{b, c, 0}, model);
}

TEST(MicrocontrollerReceiver, HauppaugeCodesKeepFiveBitsOfTheFirstByte) {
  CReceiverDecoder decoder;
  for (int model : {kHauppaugeBt848, kHauppaugeBt878}) {
    EXPECT_EQ(frame(decoder, 0xE8, 0x3C, model), 0x03Cu);   // 0xE8 & 0x17 = 0
    EXPECT_EQ(frame(decoder, 0x37, 0x01, model), 0x1701u);
    EXPECT_EQ(frame(decoder, 0x20, 0x00, model), 0x000u);   // button "0"
    EXPECT_FALSE(frame(decoder, 0x00, 0x00, model));
    EXPECT_FALSE(frame(decoder, 0xFF, 0x04, model));
    EXPECT_FALSE(frame(decoder, 0x20, 0xFF, model));
  }
  EXPECT_FALSE(decoder.microcontroller(std::nullopt, kHauppaugeBt878));
}

TEST(MicrocontrollerReceiver, OtherCardsReportANewCodeOnePollLate) {
  CReceiverDecoder decoder;
  constexpr int kRave = 39;
  EXPECT_FALSE(frame(decoder, 0x01, 0x05, kRave));
  EXPECT_EQ(frame(decoder, 0x01, 0x05, kRave), 0x105u);
  EXPECT_EQ(frame(decoder, 0x01, 0x05, kRave), 0x105u);
  // A change waits a poll, then whatever is read goes out.
  EXPECT_FALSE(frame(decoder, 0x01, 0x06, kRave));
  EXPECT_EQ(frame(decoder, 0x01, 0x07, kRave), 0x107u);
  EXPECT_FALSE(frame(decoder, 0xFF, 0xFF, kRave));
  EXPECT_EQ(frame(decoder, 0x01, 0x07, kRave), 0x107u);
}

TEST(PollFilter, CodeZeroCountsOnlyAfterTheFirstSecond) {
  CPollFilter filter;
  const auto start = CPollFilter::Clock::now();
  filter.start(start);
  EXPECT_FALSE(filter.accept(0, start + std::chrono::milliseconds(999)));
  EXPECT_TRUE(filter.accept(4, start + std::chrono::milliseconds(50)));
  EXPECT_TRUE(filter.accept(0, start + std::chrono::milliseconds(1000)));
}

TEST(CopiedCode, OneToFourBytesMostSignificantFirst) {
  const uint8_t bytes[] = {0x12, 0x34, 0xAB, 0xCD, 0xEF};
  EXPECT_EQ(codeFromCopiedBytes(bytes, 1), 0x12u);
  EXPECT_EQ(codeFromCopiedBytes(bytes + 2, 2), 0xABCDu);  // unsigned, not sign-extended
  EXPECT_EQ(codeFromCopiedBytes(bytes, 4), 0x1234ABCDu);
  EXPECT_FALSE(codeFromCopiedBytes(bytes, 5));
  EXPECT_FALSE(codeFromCopiedBytes(bytes, 0));
  EXPECT_FALSE(codeFromCopiedBytes(nullptr, 2));
}

}  // namespace
}  // namespace vexa::tunerbox
