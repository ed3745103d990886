// The mouse-pad remote's packets: buttons with their repeats, pad strokes and clicks, learning.
#include <gtest/gtest.h>

#include "plugins/padrem/packet_decoder.h"

namespace vexa::padrem {
namespace {

struct PacketFixture : ::testing::Test {
  store::CCommandStore store;
  CPacketDecoder decoder{[this](uint32_t code) { return store.firstWithCode(code); }};

  std::vector<PadEvent> feedAll(std::initializer_list<uint8_t> bytes, DecoderMode mode = {}) {
    std::vector<PadEvent> all;
    for (uint8_t byte : bytes)
      for (auto& event : decoder.feed(byte, mode)) all.push_back(event);
    return all;
  }
  static std::vector<int> repeatsOf(const std::vector<PadEvent>& events) {
    std::vector<int> repeats;
    for (const auto& event : events) repeats.push_back(std::get<SendCommand>(event).repeat);
    return repeats;
  }
};

TEST_F(PacketFixture, HeldButtonRepeatsEveryFiveBytes) {
  store.appendCommand("Pad", "Play", 5);
  auto events = feedAll({0xA0, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 0xAA});
  EXPECT_EQ(repeatsOf(events), (std::vector<int>{0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 2}));
  EXPECT_EQ(std::get<SendCommand>(events[0]).command, (store::FoundCommand{"Pad", "Play"}));
  EXPECT_FALSE(decoder.inPacket());
}

TEST_F(PacketFixture, FirstByteDecidesTheButtonForTheWholePacket) {
  store.appendCommand("B", "Later", 5);
  store.appendCommand("A", "First", 5);
  store.appendCommand("A", "Other", 9);
  auto events = feedAll({0xA0, 5, 9, 9, 0xAA});
  ASSERT_EQ(events.size(), 3u);
  for (const auto& event : events) EXPECT_EQ(std::get<SendCommand>(event).command.command, "First");
  EXPECT_TRUE(feedAll({0xA0, 7, 5, 5, 0xAA}).empty());  // an unknown first byte sends nothing
}

TEST_F(PacketFixture, BytesOutsidePacketsAreIgnored) {
  store.appendCommand("Pad", "Play", 5);
  EXPECT_TRUE(feedAll({5, 5, 0xAA, 5}).empty());
  EXPECT_EQ(feedAll({0xA0, 5}).size(), 1u);
  decoder.endPacket();  // the line went quiet
  EXPECT_TRUE(feedAll({5}).empty());
}

TEST_F(PacketFixture, PadBytesMoveThePointerWithTheirSpeeds) {
  const DecoderMode pad{false, true};
  auto events = feedAll({0xA0, 0x44, 0x4C, 0x70, 0xAA}, pad);
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(std::get<MovePointer>(events[0]).dx, 1);   // half speed, straight right
  EXPECT_EQ(std::get<MovePointer>(events[1]).dx, -1);  // straight left
  EXPECT_EQ(std::get<MovePointer>(events[2]).dy, -7);  // 3.5 x -2, up
  // From the sixteenth byte of a stroke on, a whole step faster.
  EXPECT_EQ(padMove(0x44, 14).dx, 1);
  EXPECT_EQ(padMove(0x44, 15).dx, 2);
  EXPECT_EQ(padMove(0x4D, 0).dx, -1);  // -0.5 x -2 ... and -0.5 x -1 truncates to 0
  EXPECT_EQ(padMove(0x4D, 0).dy, 0);
}

TEST_F(PacketFixture, PadBytesAreButtonCodesWhenThePadIsOff) {
  store.appendCommand("Pad", "Sixty-eight", 0x44);
  auto events = feedAll({0xA0, 0x44, 0xAA});
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(std::get<SendCommand>(events[0]).command.command, "Sixty-eight");
}

TEST_F(PacketFixture, PressedButtonsAreReleasedAcrossPacketsAndAtTheEnd) {
  const DecoderMode pad{false, true};
  auto pressed = feedAll({0xA0, 57, 0xAA, 0xA0, 57, 0xAA}, pad);  // pressed once only
  ASSERT_EQ(pressed.size(), 1u);
  EXPECT_EQ(std::get<PressButton>(pressed[0]).button, MouseButton::kLeft);
  auto released = feedAll({0xA0, 56, 0xAA}, pad);
  ASSERT_EQ(released.size(), 1u);
  EXPECT_EQ(std::get<ReleaseButton>(released[0]).button, MouseButton::kLeft);
  EXPECT_TRUE(feedAll({0xA0, 56, 0xAA}, pad).empty());  // nothing left to release

  EXPECT_TRUE(feedAll({0xA0, 0x44, 58, 0xAA}, pad).size() == 1);  // click bytes count only first
  feedAll({0xA0, 58, 0xAA}, pad);
  auto atEnd = decoder.releaseAll();
  ASSERT_EQ(atEnd.size(), 1u);
  EXPECT_EQ(std::get<ReleaseButton>(atEnd[0]).button, MouseButton::kRight);
}

TEST_F(PacketFixture, LearningTakesOnlyTheFirstByte) {
  store.appendCommand("Pad", "Play", 5);
  auto events = feedAll({0xA0, 0x44, 5, 5, 0xAA}, {true, true});
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(std::get<LearnCode>(events[0]).code, 0x44);
}

}  // namespace
}  // namespace vexa::padrem
