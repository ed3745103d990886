#include "vexa/winlib/unicode.h"

#include <gtest/gtest.h>

namespace vexa::win {
namespace {

TEST(UnicodeTest, ConvertsBetweenUtf8AndUtf16) {
  // An umlaut, a CJK word and a character outside the basic plane (a surrogate pair).
  const std::string utf8 = "Fernseh\xC3\xBC \xE9\x81\x99\xE6\x8E\xA7 \xF0\x9F\x93\xBA";
  const std::wstring wide = L"Fernseh\u00FC \u9059\u63A7 \U0001F4FA";
  EXPECT_EQ(toWide(utf8), wide);
  EXPECT_EQ(toUtf8(wide), utf8);
  EXPECT_EQ(toWide(""), L"");
  EXPECT_EQ(toUtf8(L""), "");
}

TEST(UnicodeTest, KeepsEmbeddedNulAndReplacesBrokenSequences) {
  EXPECT_EQ(toWide(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
  EXPECT_EQ(toWide("a\xC3"), L"a\uFFFD");
}

}  // namespace
}  // namespace vexa::win
