#include <gtest/gtest.h>

#include <climits>

#include "support/temp_folder.h"
#include "vexa/base/errors.h"
#include "vexa/base/file_io.h"
#include "vexa/base/strings.h"
#include "vexa/model/names.h"

using namespace vexa;

TEST(Strings, CaseInsensitiveComparisonIsAsciiOnly) {
  EXPECT_TRUE(iequals("Execute Application", "execute application"));
  EXPECT_FALSE(iequals("Play", "Play "));
  EXPECT_LT(icompare("apple", "Banana"), 0);
  EXPECT_GT(icompare("b", "A"), 0);
  EXPECT_EQ(icompare("abc", "ABC"), 0);
  EXPECT_LT(icompare("ab", "abc"), 0);
  // Bytes above 127 are compared as they are: no locale can change a match.
  EXPECT_FALSE(iequals("\xC3\x84", "\xC3\xA4"));
  EXPECT_TRUE(istartsWith("app:Play", "App:"));
}

TEST(Strings, NumbersReadLikeAtoi) {
  EXPECT_EQ(parseInt("42"), 42);
  EXPECT_EQ(parseInt("  -17xyz"), -17);
  EXPECT_EQ(parseInt("+5"), 5);
  EXPECT_EQ(parseInt("abc"), 0);
  EXPECT_EQ(parseInt(""), 0);
  EXPECT_EQ(parseInt("99999999999999999999999"), INT_MAX);
  EXPECT_EQ(parseInt("-99999999999999999999999"), INT_MIN);
  EXPECT_EQ(parseInteger("4294967295"), 4294967295LL);
}

TEST(Strings, UniqueNamesCountUpFromOne) {
  EXPECT_EQ(makeUniqueName("Play", [](std::string_view) { return false; }), "Play");
  int asked = 0;
  auto name = makeUniqueName("Play", [&](std::string_view n) {
    ++asked;
    return n == "Play" || n == "Play_1";
  });
  EXPECT_EQ(name, "Play_2");
  EXPECT_EQ(asked, 3);
}

TEST(Strings, ReservedCharacters) {
  for (char c : std::string("\\#[]@=|")) EXPECT_TRUE(hasReservedChar(std::string("a") + c + "b")) << c;
  EXPECT_FALSE(hasReservedChar("Volume +/- (main)"));
}

TEST(FileIo, AtomicWriteReplacesAndLeavesNoTemporary) {
  vexa::test::CTempFolder dir;
  const auto file = dir / "current.vcp";
  writeFileAtomically(file, "first");
  writeFileAtomically(file, "second");
  EXPECT_EQ(readFileBytes(file), "second");
  EXPECT_FALSE(std::filesystem::exists(dir / "current.vcp.tmp"));
}

TEST(FileIo, FailedWriteKeepsThePreviousFile) {
  vexa::test::CTempFolder dir;
  const auto file = dir / "current.vcp";
  writeFileAtomically(file, "keep me");
  // A folder where the temporary file must go makes the write fail.
  std::filesystem::create_directory(dir / "current.vcp.tmp");
  EXPECT_THROW(writeFileAtomically(file, "lost"), FileError);
  EXPECT_EQ(readFileBytes(file), "keep me");
}

TEST(FileIo, MissingFileNamesItself) {
  vexa::test::CTempFolder dir;
  try {
    readFileBytes(dir / "nope.vcp");
    FAIL();
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("nope.vcp"), std::string::npos);
    EXPECT_GT(e.line(), 0);
  }
}
