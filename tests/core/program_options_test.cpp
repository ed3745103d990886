#include "vexa/base/program_options.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

TEST(ProgramOptions, DisablingMultithreadingIsBitThreeOfTheWordAndNothingElse) {
  EXPECT_TRUE(optionsFromWord(0x8).has(ProgramOptions::kDisableMultithreading));
  EXPECT_TRUE(optionsFromWord(0x44 | 0x8).has(ProgramOptions::kDisableMultithreading));
  // Every other bit set, bit 3 clear.
  EXPECT_FALSE(optionsFromWord(~0x8u).has(ProgramOptions::kDisableMultithreading));
  EXPECT_FALSE(optionsFromWord(0u).has(ProgramOptions::kDisableMultithreading));
}

TEST(ProgramOptions, AMissingWordGivesTheDefaultsNotAnEmptyWord) {
  const ProgramOptions defaults = optionsFromWord(std::nullopt);
  EXPECT_EQ(defaults.word, 0x44u);
  EXPECT_TRUE(defaults.has(ProgramOptions::kShowShutdownWindow));
  EXPECT_FALSE(defaults.has(ProgramOptions::kDisableMultithreading));
  EXPECT_FALSE(defaults.has(ProgramOptions::kStartWithWindows));
  EXPECT_EQ(optionsFromWord(0u).word, 0u);  // a stored zero is a choice, kept
}

TEST(ProgramOptions, SettingOneOptionKeepsEveryOtherBitOfTheWord) {
  ProgramOptions options = optionsFromWord(0x80000444u);  // bits no check box shows
  options.set(ProgramOptions::kDisableMultithreading, true);
  EXPECT_EQ(options.word, 0x8000044Cu);
  options.set(ProgramOptions::kShowShutdownWindow, false);
  options.set(ProgramOptions::kDisableMultithreading, false);
  EXPECT_EQ(options.word, 0x80000440u);
}

}  // namespace
}  // namespace vexa
