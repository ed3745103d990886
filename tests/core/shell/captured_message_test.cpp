#include "vexa/shell/captured_message.h"

#include <gtest/gtest.h>

#include <vector>

namespace vexa::shell {
namespace {

TEST(CapturedMessage, EachHookKindHasItsOwnOrder) {
  const uint32_t values[4] = {0x11, 0x22, 0x33, 0x44};
  const auto byMessageHook = readCapturedMessage(kCapturedByMessageHook, values, sizeof values);
  ASSERT_TRUE(byMessageHook);
  EXPECT_EQ(byMessageHook->window, 0x11u);
  EXPECT_EQ(byMessageHook->message, 0x22u);
  EXPECT_EQ(byMessageHook->lParam, 0x44u);
  const auto byWndProcHook = readCapturedMessage(kCapturedByWndProcHook, values, sizeof values);
  ASSERT_TRUE(byWndProcHook);
  EXPECT_EQ(byWndProcHook->lParam, 0x11u);
  EXPECT_EQ(byWndProcHook->wParam, 0x22u);
  EXPECT_EQ(byWndProcHook->message, 0x33u);
  EXPECT_EQ(byWndProcHook->window, 0x44u);
}

TEST(CapturedMessage, DataOfAnotherKindOrTooShortIsNotRead) {
  const uint32_t values[4] = {1, 2, 3, 4};
  EXPECT_FALSE(readCapturedMessage(91, values, sizeof values));
  EXPECT_FALSE(readCapturedMessage(0x10000005D, values, sizeof values));  // 93 in the low half only
  EXPECT_FALSE(readCapturedMessage(kCapturedByMessageHook, values, sizeof values - 1));
  EXPECT_FALSE(readCapturedMessage(kCapturedByWndProcHook, nullptr, sizeof values));
  // More than four values: the four are read, the rest ignored.
  const std::vector<uint32_t> longer{5, 0x111, 7, 8, 9, 10};
  const auto read = readCapturedMessage(kCapturedByMessageHook, longer.data(), longer.size() * 4);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->lParam, 8u);
}

TEST(CapturedMessage, TextForThePostMessageAction) {
  EXPECT_EQ(capturedMessageText({0x1234, 0x0111, 0x000003E9, 0xFFFFFFFF}), "WM_COMMAND:0x000003e9:0xffffffff");
  EXPECT_EQ(capturedMessageText({0, 0x0203, 1, 0x00200010}), "WM_LBUTTONDBLCLK:0x00000001:0x00200010");
  EXPECT_STREQ(capturedMessageDescription(0x0201), "Left mouse click");
  EXPECT_EQ(capturedMessageName(0x0200), nullptr);  // pointer moves are not listed
  EXPECT_EQ(capturedMessageName(0x0202), nullptr);  // nor button releases
}

}  // namespace
}  // namespace vexa::shell
