// The Irbox receiver's wake-up reply and its six-byte codes.
#include <gtest/gtest.h>

#include "plugins/irbox/irbox_protocol.h"

namespace vexa {

using namespace irbox;

namespace {
Frame frameOf(const std::string& burst) {
  return assembleFrame(reinterpret_cast<const uint8_t*>(burst.data()), burst.size());
}
}  // namespace

TEST(IrboxFrame, AFullBurstIsTheCode) {
  EXPECT_EQ(frameOf("\x01\x02\x03\x04\x05\x06"), (Frame{1, 2, 3, 4, 5, 6}));
}

TEST(IrboxFrame, AShortBurstIsPaddedWithZeros) {
  EXPECT_EQ(frameOf("\x7f\x80"), (Frame{0x7f, 0x80, 0, 0, 0, 0}));
  EXPECT_EQ(frameOf(""), Frame{});
  EXPECT_EQ(assembleFrame(nullptr, 4), Frame{});
}

TEST(IrboxFrame, BytesBeyondTheSixthBelongToNoCode) {
  EXPECT_EQ(frameOf("ABCDEFGHIJKL"), (Frame{'A', 'B', 'C', 'D', 'E', 'F'}));
}

TEST(IrboxReply, OnlyExactlyOkIsReady) {
  EXPECT_EQ(judgeReply("OK"), abi::kInitReady);
  EXPECT_EQ(judgeReply(""), abi::kInitNoResponse);
  for (std::string_view wrong : {"OK\r\n", "OKOK", "ok", "O", "K", "KO", "ERR", " OK"})
    EXPECT_EQ(judgeReply(wrong), abi::kInitBadResponse) << wrong;
}

TEST(IrboxReply, IsJudgedByLengthNotByATerminator) {
  EXPECT_EQ(judgeReply(std::string_view("OK\0", 3)), abi::kInitBadResponse);
  EXPECT_EQ(judgeReply(std::string_view("\0", 1)), abi::kInitBadResponse);
  EXPECT_EQ(judgeReply(std::string_view("\0OK", 3)), abi::kInitBadResponse);
}

TEST(IrboxModels, OffersIrboxAndIrman) {
  EXPECT_EQ(modelList(), std::string("IRBOX\0IRMan\0\0", 13));
}

}  // namespace vexa
