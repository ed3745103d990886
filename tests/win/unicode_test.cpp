#include "vexa/winlib/unicode.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "vexa/base/windows_1252.h"
#include "vexa/winlib/system_code_page.h"

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

// Native tools and tests use the portable Windows-1252 in place of the system's
// code page; here both meet on a system whose code page it is.
TEST(SystemCodePageTest, AgreesWithThePortableWindows1252) {
  ASSERT_EQ(GetACP(), 1252u);
  const CSystemCodePage system;
  const CWindows1252 portable;
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    EXPECT_EQ(system.toUtf8(byte), portable.toUtf8(byte)) << b;
    EXPECT_EQ(system.fromUtf8(portable.toUtf8(byte)), byte) << b;
  }
  // No best-fit look-alikes (a fullwidth solidus would become a path separator):
  // what the code page cannot hold is '?'.
  const std::string outside = "\xC4\x80 \xEF\xBC\x8F \xE6\x97\xA5 \xC2\x80";
  EXPECT_EQ(system.fromUtf8(outside), "? ? ? ?");
  EXPECT_EQ(portable.fromUtf8(outside), "? ? ? ?");
}

}  // namespace
}  // namespace vexa::win
