#include "vexa/model/action_fields.h"
#include "vexa/exec/actions/display_mode_text.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

TEST(KeyTable, ReadsNameCodeAndDescriptionSkippingCommentsAndBadLines) {
  const auto entries = parseKeyTable(
      "# Virtual keys\r\n"
      "VK_BACK 0x08 Backspace key\r\n"
      "\n"
      "VK_RETURN 0D Enter\n"
      "VK_BROKEN zz not a code\n"
      "   VK_F1\t0x70\tF1 key   \n"
      "VK_NODESC 0x20");
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0], (KeyTableEntry{"VK_BACK", 0x08, "Backspace key"}));
  EXPECT_EQ(entries[1], (KeyTableEntry{"VK_RETURN", 0x0D, "Enter"}));
  EXPECT_EQ(entries[2], (KeyTableEntry{"VK_F1", 0x70, "F1 key"}));
  EXPECT_EQ(entries[3], (KeyTableEntry{"VK_NODESC", 0x20, ""}));
  EXPECT_EQ(keyCodeText(0x0D), "0x0D");
  EXPECT_EQ(keyCodeText(0xA5), "0xA5");
}

TEST(KeystrokeToken, ModifierLettersThenLowerCaseHexCode) {
  EXPECT_EQ(keystrokeToken(KeyModifier::kControl | KeyModifier::kShift, 0x41), "{CS0x41}");
  EXPECT_EQ(keystrokeToken(KeyModifier::kAlt | KeyModifier::kControl | KeyModifier::kShift, 0x7B), "{ACS0x7b}");
  EXPECT_EQ(keystrokeToken(0, 0x0D), "{0x0d}");
  // Control, Alt and Shift alone make no token.
  EXPECT_FALSE(keystrokeToken(KeyModifier::kControl, 0x11));
  EXPECT_FALSE(keystrokeToken(0, 0x10));
  EXPECT_FALSE(keystrokeToken(KeyModifier::kAlt, 0xA4));
  EXPECT_FALSE(keystrokeToken(0, 0));
}

TEST(DisplayModes, RateOnlyWhenReported) {
  EXPECT_EQ(displayModeText(DisplayMode{1024, 768, 32, 0}), "1024x768 32-Bit");
  EXPECT_EQ(displayModeText(DisplayMode{800, 600, 16, 75}), "800x600 16-Bit @75 Hz");
  std::vector<std::string> modes;
  appendUnique(modes, "a");
  appendUnique(modes, "b");
  appendUnique(modes, "a");
  EXPECT_EQ(modes, (std::vector<std::string>{"a", "b"}));
}

TEST(ChoiceList, KeepsTheCurrentTextWhenListedElseTheFirst) {
  const std::vector<std::string> choices{"Standby", "Hibernate"};
  EXPECT_EQ(choiceToKeep(choices, "Hibernate"), 1u);
  EXPECT_EQ(choiceToKeep(choices, "hibernate"), 0u);
  EXPECT_EQ(choiceToKeep(choices, ""), 0u);
  EXPECT_FALSE(choiceToKeep({}, "x"));
}

}  // namespace
}  // namespace vexa
