#include "vexa/shell/command_line.h"

#include <gtest/gtest.h>

namespace vexa::shell {
namespace {

using Kind = CommandLineMessage::Kind;

TEST(CommandLine, QuotedPresetPathKeepsItsSlashesAndOtherOptionsFollow) {
  const CommandLine line = parseCommandLine(R"(/p "C:/Presets/Living Room/TV.vcp" /L /s  two words  )");
  ASSERT_TRUE(line.options.presetFile);
  EXPECT_EQ(*line.options.presetFile, "C:/Presets/Living Room/TV.vcp");
  EXPECT_TRUE(line.options.configLog);
  ASSERT_TRUE(line.options.sValue);
  EXPECT_EQ(*line.options.sValue, "two words");  // blanks after the letter skipped, trailing ones removed
  EXPECT_TRUE(line.messages.empty());
}

TEST(CommandLine, UnquotedValueEndsAtTheNextSlash) {
  const CommandLine line = parseCommandLine("/pC:/x.vcp/u\tuser ");
  EXPECT_EQ(line.options.presetFile.value_or("?"), "C:");
  EXPECT_EQ(line.options.uValue.value_or("?"), "user");
  EXPECT_FALSE(line.options.configLog);
}

TEST(CommandLine, LettersAreCaseInsensitiveAndUnknownOnesIgnored) {
  const CommandLine line = parseCommandLine("/X junk /P Sample Preset /S a/U b");
  EXPECT_EQ(line.options.presetFile.value_or("?"), "Sample Preset");
  EXPECT_EQ(line.options.sValue.value_or("?"), "a");
  EXPECT_EQ(line.options.uValue.value_or("?"), "b");
  EXPECT_TRUE(line.messages.empty());
}

TEST(CommandLine, PresetWithoutNameSaysSoAndLoadsNothing) {
  for (const char* text : {"/p", "/p   ", "/p /l", "/p \"\""}) {
    const CommandLine line = parseCommandLine(text);
    EXPECT_FALSE(line.options.presetFile) << text;
    ASSERT_EQ(line.messages.size(), 1u) << text;
    EXPECT_EQ(line.messages[0].kind, Kind::Information);
    EXPECT_EQ(line.messages[0].text, "Parameter missing: /p");
  }
  EXPECT_TRUE(parseCommandLine("/p /l").options.configLog);
}

TEST(CommandLine, MissingClosingQuoteIsAnErrorNamingTheOption) {
  const CommandLine line = parseCommandLine("/l /p \"C:/unfinished/name /s x");
  EXPECT_TRUE(line.options.configLog);  // what came before still counts
  EXPECT_FALSE(line.options.presetFile);
  EXPECT_FALSE(line.options.sValue);    // swallowed by the open quote
  ASSERT_EQ(line.messages.size(), 1u);
  EXPECT_EQ(line.messages[0].kind, Kind::Error);
  EXPECT_EQ(line.messages[0].text, "Closing \" missing in parameter /p");
}

TEST(CommandLine, EmptyAndDegenerateLinesAreHarmless) {
  for (const char* text : {"", "   ", "/", "//", "no options at all", "/ p x", "\""}) {
    const CommandLine line = parseCommandLine(text);
    EXPECT_FALSE(line.options.presetFile) << text;
    EXPECT_FALSE(line.options.configLog) << text;
    EXPECT_TRUE(line.messages.empty()) << text;
  }
}

TEST(CommandLine, TextAfterAClosingQuoteUpToTheNextOptionIsIgnored) {
  const CommandLine line = parseCommandLine("/p \"a/b.vcp\"extra /l");
  EXPECT_EQ(line.options.presetFile.value_or("?"), "a/b.vcp");
  EXPECT_TRUE(line.options.configLog);
}

}  // namespace
}  // namespace vexa::shell
