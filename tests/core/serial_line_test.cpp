#include <gtest/gtest.h>

#include <cstdint>

#include "plugins/serial/line_config.h"
#include "plugins/serial/line_tables.h"
#include "plugins/serial/response_check.h"

using namespace vexa::serial;

TEST(SerialLineTables, NamesMapToDcbValuesAndCapabilityBits) {
  EXPECT_EQ(baudRates().size(), 14u);
  EXPECT_EQ(findEntry(baudRates(), "128000")->capability, 0x00010000u);
  EXPECT_EQ(findEntry(baudRates(), "57600")->capability, 0x00040000u);
  EXPECT_EQ(findEntry(baudRates(), "14400")->value, 14400u);
  EXPECT_EQ(lineValue(stopBits(), "1.5"), 1u);
  EXPECT_EQ(findEntry(stopBits(), "2")->capability, caps::kStop20);
  EXPECT_EQ(lineValue(parities(), "Space"), 4u);
  EXPECT_EQ(findEntry(parities(), "Mark")->capability, 0x0800u);
  EXPECT_EQ(findEntry(dataBits(), "16")->capability, 0x0010u);
  EXPECT_EQ(lineValue(rtsControls(), "Toggle"), 3u);
  EXPECT_EQ(lineValue(dtrControls(), "Handshake"), 2u);
  EXPECT_EQ(lineValue(dtrControls(), "Toggle"), std::nullopt);  // RTS only
  EXPECT_EQ(lineValue(parities(), "none"), std::nullopt);
}

TEST(SerialLineTables, PortsOfferWhatTheirCapabilitiesSay) {
  auto names = [](const std::vector<const LineEntry*>& entries) {
    std::string all;
    for (const LineEntry* e : entries) all += std::string(e->name) + " ";
    return all;
  };
  EXPECT_EQ(names(supportedEntries(baudRates(), caps::kBaud9600 | caps::kBaud115200, caps::kBaudUser)), "9600 115200 ");
  EXPECT_EQ(supportedEntries(baudRates(), caps::kBaud9600 | caps::kBaudUser, caps::kBaudUser).size(), 14u);
  EXPECT_EQ(names(supportedEntries(parities(), caps::kParityNone | caps::kParityEven | caps::kStop10)), "None Even ");
  EXPECT_EQ(names(supportedEntries(stopBits(), caps::kStop10 | caps::kStop20)), "1 2 ");
  EXPECT_EQ(supportedEntries(dataBits(), 0).size(), 5u);  // a port that reports nothing
}

TEST(SerialLineConfig, SettingsBecomeDcbValues) {
  const LineConfig c = lineConfigFor({"57600", "Odd", "1.5", "7", "Toggle", "Handshake"});
  EXPECT_EQ(c.baud, 57600u);
  EXPECT_EQ(c.parity, 1u);
  EXPECT_TRUE(c.parityCheck());
  EXPECT_EQ(c.stopBits, 1u);
  EXPECT_EQ(c.dataBits, 7u);
  EXPECT_EQ(c.rtsControl, 3u);
  EXPECT_EQ(c.dtrControl, 2u);
  const LineConfig unknown = lineConfigFor({"12345", "Weird", "3", "9", "On", "Off"});
  EXPECT_FALSE(unknown.baud || unknown.parity || unknown.stopBits || unknown.dataBits || unknown.rtsControl ||
               unknown.dtrControl);
  EXPECT_FALSE(unknown.parityCheck());
  EXPECT_FALSE(lineConfigFor(PortSettings{}).parityCheck());
}

TEST(SerialLineConfig, ResetPulseInvertsTheConfiguredLines) {
  EXPECT_EQ(resetPulseFor(PortSettings{}).dtrControl, 0u);
  EXPECT_EQ(resetPulseFor(PortSettings{}).rtsControl, 0u);
  PortSettings p;
  p.dtr = "Disable";
  p.rts = "Handshake";
  EXPECT_EQ(resetPulseFor(p).dtrControl, 1u);
  EXPECT_EQ(resetPulseFor(p).rtsControl, 1u);
}

TEST(SerialResponse, NulBytesAreSkippedAndTheTextMayBeAnywhere) {
  CReplyCollector reply;
  for (int b : {0, int('x'), 0, int('O'), 0, int('K'), int('\r')}) reply.add(static_cast<uint8_t>(b));
  EXPECT_EQ(reply.reply(), "xOK\r");
  EXPECT_EQ(judgeReply(reply, "OK"), ReplyVerdict::kMatched);
  EXPECT_EQ(judgeReply(reply, "ok"), ReplyVerdict::kWrongAnswer);
}

TEST(SerialResponse, SilenceAndOnlyNulsDiffer) {
  EXPECT_EQ(judgeReply(CReplyCollector{}, "OK"), ReplyVerdict::kNoAnswer);
  CReplyCollector zeros;
  zeros.add(0);
  EXPECT_EQ(judgeReply(zeros, "OK"), ReplyVerdict::kWrongAnswer);  // something answered
}

TEST(SerialResponse, ReplyIsBoundedInBytesAndTime) {
  CReplyCollector reply;
  for (int i = 0; i < 1000 && !reply.full(); ++i) reply.add('A');
  EXPECT_TRUE(reply.full());
  EXPECT_EQ(reply.reply().size(), kReplyCapacity);
  reply.add('O');
  reply.add('K');
  EXPECT_EQ(judgeReply(reply, "OK"), ReplyVerdict::kWrongAnswer);  // dropped beyond the buffer

  // Enough for the expected answer at the configured pace, never unbounded.
  EXPECT_GE(responseTimeLimitMs("OK", 50), 3u * 150u);
  EXPECT_LE(responseTimeLimitMs("OK", 50), 5000u);
  EXPECT_GE(responseTimeLimitMs("OK", 1000), 3u * 1000u);
  EXPECT_LE(responseTimeLimitMs(std::string(256, 'x'), 1000000), 60000u);
  EXPECT_GT(responseTimeLimitMs("OK", -5), 0u);
}

TEST(SerialResponse, TimeLimitIsTwoSecondsPlusEachExpectedByteAtItsPaceCappedAtAMinute) {
  // 2000 + (length + 1) x (RxDDelay + 100), a negative delay counting as none.
  EXPECT_EQ(responseTimeLimitMs("", 0), 2100u);
  EXPECT_EQ(responseTimeLimitMs("OK", 50), 2450u);
  EXPECT_EQ(responseTimeLimitMs("OK", 1000), 5300u);
  EXPECT_EQ(responseTimeLimitMs("OK", -5), 2300u);
  const std::string fiftySeven(57, 'x');
  EXPECT_EQ(responseTimeLimitMs(fiftySeven, 899), 59942u);
  EXPECT_EQ(responseTimeLimitMs(fiftySeven, 900), 60000u);
  EXPECT_EQ(responseTimeLimitMs(fiftySeven, 901), 60000u);
  // The largest reply at the largest delay neither wraps nor exceeds the cap.
  EXPECT_EQ(responseTimeLimitMs(std::string(kReplyCapacity, 'x'), INT32_MAX), 60000u);
}
