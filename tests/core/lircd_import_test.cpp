#include <gtest/gtest.h>

#include "vexa/base/errors.h"
#include "vexa/device/device_settings.h"
#include "vexa/device/lircd_import.h"
#include "vexa/device/plugin_abi.h"

using namespace vexa;
using namespace vexa::device;
using Signal = std::vector<uint32_t>;

namespace {

std::string remote(const std::string& settings, const std::string& codes = "    a 0x1\n") {
  return "begin remote\n  name r\n" + settings + "  begin codes\n" + codes + "  end codes\nend remote\n";
}

const std::string kSpace = "  bits 4\n  flags SPACE_ENC\n  header 900 450\n  one 100 300\n  zero 100 100\n"
                           "  ptrail 100\n  gap 5000\n";

// The message of what the import refuses, empty when it converts.
std::string refusal(const std::string& text) {
  try {
    const auto remotes = parseLircdConfig(text);
    importLircdRemote(chooseLircdRemote(remotes, std::nullopt));
  } catch (const VexaError& e) {
    return e.what();
  }
  return {};
}

uint32_t pulse(uint32_t us) { return vexa::abi::makeSample(true, us); }
uint32_t space(uint32_t us) { return vexa::abi::makeSample(false, us); }

}  // namespace

TEST(LircdConfig, ReadsRemotesCodesAndRawCodes) {
  const auto remotes = parseLircdConfig(
      "# comment\n\nbegin remote\n  name  one # trailing comment\n  bits 8\r\n  flags SPACE_ENC|CONST_LENGTH\n"
      "  begin codes\n    KEY_A 0x1F\n    KEY_B 17 0x2\n  end codes\nend remote\n"
      "begin remote\n name two\n begin raw_codes\n  name x\n  100 200\n  300\n  name y 5 6 7\n end raw_codes\n"
      "end remote\n");
  ASSERT_EQ(remotes.size(), 2u);
  EXPECT_EQ(remotes[0].name, "one");
  EXPECT_EQ(remotes[0].line, 3);
  ASSERT_NE(remotes[0].find("BITS"), nullptr);
  EXPECT_EQ(remotes[0].find("bits")->values, std::vector<std::string>{"8"});
  ASSERT_EQ(remotes[0].codes.size(), 2u);
  EXPECT_EQ(remotes[0].codes[0].codes, std::vector<uint64_t>{0x1F});
  EXPECT_EQ(remotes[0].codes[1].codes, (std::vector<uint64_t>{17, 2}));
  EXPECT_EQ(remotes[0].codes[1].line, 9);
  ASSERT_EQ(remotes[1].rawCodes.size(), 2u);
  EXPECT_EQ(remotes[1].rawCodes[0].durations, (std::vector<uint32_t>{100, 200, 300}));
  EXPECT_EQ(remotes[1].rawCodes[1].durations, (std::vector<uint32_t>{5, 6, 7}));
}

TEST(LircdConfig, SyntaxErrorsNameTheLine) {
  auto error = [](const std::string& text) {
    try {
      parseLircdConfig(text);
    } catch (const ArchiveError& e) {
      return std::string(e.what());
    }
    return std::string();
  };
  EXPECT_EQ(error("begin remote\n name r\n bits 8\n"), "line 3: the file ends inside \"begin remote\"");
  EXPECT_EQ(error("begin remote\n name r\n begin codes\n  a 0xZZ\n"), "line 4: \"0xZZ\" is not a number");
  EXPECT_EQ(error("\ninclude \"other.conf\"\n"),
            "line 2: \"include\" is not supported: import the included file itself");
  EXPECT_EQ(error("begin remote\n bits 8\nend remote\n"), "line 1: the remote has no name");
  EXPECT_EQ(error("begin remote\n name r\n begin raw_codes\n 100 200\n"), "line 4: durations before the first \"name\"");
  EXPECT_EQ(error("name r\n"), "line 1: expected \"begin remote\", not \"name\"");
}

TEST(LircdImport, RefusesWhatItCannotExpressNamingFeatureAndLine) {
  EXPECT_EQ(refusal(remote("  bits 4\n  flags RCMM\n  gap 5000\n")), "line 4: flag RCMM is not supported");
  EXPECT_EQ(refusal(remote(kSpace + "  foot 100 200\n")), "line 10: \"foot\" is not supported");
  EXPECT_EQ(refusal(remote(kSpace + "  toggle_mask 0x3\n")), "line 10: \"toggle_mask\" is not supported");
  EXPECT_EQ(refusal(remote(kSpace + "  colour blue\n")), "line 10: unknown setting \"colour\"");
  EXPECT_EQ(refusal(remote(kSpace, "    a 0x1 0x2\n")), "line 11: button \"a\" sends a sequence of codes");
  EXPECT_EQ(refusal(remote(kSpace, "    a 0x1\n    A 0x2\n")),
            "line 12: button \"A\" is defined twice (first at line 11)");
  EXPECT_EQ(refusal(remote(kSpace, "    a@b 0x1\n")),
            "line 11: the button name \"a@b\" holds a character the settings file reserves (\\#[]@=|)");
  EXPECT_EQ(refusal(remote("  bits 4\n  gap 5000\n")),
            "line 1: the remote names no encoding this program reads (SPACE_ENC, RC5, RC6 or raw_codes)");
  EXPECT_EQ(refusal(remote("  bits 4\n  flags SPACE_ENC\n")), "line 1: the remote has no \"gap\"");
  EXPECT_EQ(refusal(remote("  bits 40\n  pre_data_bits 30\n  flags SPACE_ENC\n  gap 1\n")),
            "line 1: codes of more than 64 bits");
  EXPECT_EQ(refusal(remote("  bits 4\n  flags SPACE_ENC\n  header 600000 100\n  gap 9000\n")),
            "line 5: \"header\" of 600000 microseconds is longer than a receiver reports");
  // Settings that only tune reception change nothing that is sent: accepted.
  EXPECT_EQ(refusal(remote(kSpace + "  eps 30\n  aeps 100\n  frequency 36000\n  toggle_mask 0\n")), "");
}

TEST(LircdImport, ChoosesTheRemoteByName) {
  const auto remotes = parseLircdConfig(remote(kSpace) + "begin remote\n name Other\n" + kSpace +
                                        " begin codes\n  b 2\n end codes\nend remote\n");
  EXPECT_EQ(chooseLircdRemote(remotes, "other").name, "Other");
  EXPECT_THROW(chooseLircdRemote(remotes, std::nullopt), NotSupportedError);
  try {
    chooseLircdRemote(remotes, "tv");
    FAIL();
  } catch (const NotSupportedError& e) {
    EXPECT_STREQ(e.what(), "no remote \"tv\"; the file describes: r, Other");
  }
}

TEST(LircdImport, PulseDistanceFrameRepeatAndGap) {
  // Code 0b1010 with two pre_data bits 0b01 and a repeat code; the frame's
  // length is constant, so its gap is what is left of 20 ms.
  const auto imported = importLircdRemote(parseLircdConfig(remote(
      "  bits 4\n  flags SPACE_ENC|CONST_LENGTH\n  header 900 450\n  one 100 300\n  zero 100 100\n  ptrail 100\n"
      "  pre_data_bits 2\n  pre_data 0x1\n  repeat 900 225\n  gap 20000\n",
      "    a 0xA\n"))[0]);
  EXPECT_EQ(imported.remote.mode, 1);
  const DeviceCode& a = imported.remote.commands.at("a");
  const Signal expected{pulse(900), space(450), pulse(100), space(100), pulse(100), space(300),  // pre 01
                        pulse(100), space(300), pulse(100), space(100), pulse(100), space(300), pulse(100),
                        space(100), pulse(100)};
  EXPECT_EQ(a.raw, expected);
  uint32_t total = 0;
  for (uint32_t s : expected) total += vexa::abi::durationOf(s);
  EXPECT_EQ(a.gap, space(20000 - total));
  EXPECT_EQ(a.repeat, (Signal{pulse(900), space(225), pulse(100)}));
  EXPECT_EQ(a.repeatGap, space(20000 - 1225));
  EXPECT_EQ(a.flags, CodeFlag::kTiming | CodeFlag::kGapKnown | CodeFlag::kRepeatCode | CodeFlag::kDecoded | 2u);
  EXPECT_EQ(a.decoded, 0xAu);
  EXPECT_TRUE(a.toggled.empty());
}

TEST(LircdImport, BiPhaseTogglesAndFoldsItsLastSpaceIntoTheGap) {
  // Bits 1, toggle, 0: a one is space-then-pulse, a zero pulse-then-space.
  const auto imported = importLircdRemote(parseLircdConfig(remote(
      "  bits 3\n  flags RC5\n  one 500 500\n  zero 500 500\n  plead 500\n  toggle_bit_mask 0x2\n  gap 9000\n",
      "    a 0x4\n"))[0]);
  const DeviceCode& a = imported.remote.commands.at("a");
  // plead, 1, 0, 0 -> p500 s500 p1000 s500 p500 (s500 folded)
  EXPECT_EQ(a.raw, (Signal{pulse(500), space(500), pulse(1000), space(500), pulse(500)}));
  // plead, 1, 1, 0 -> p500 s500 p500 s500 p1000 (s500 folded)
  EXPECT_EQ(a.toggled, (Signal{pulse(500), space(500), pulse(500), space(500), pulse(1000)}));
  EXPECT_EQ(a.gap, space(9500));
  EXPECT_EQ(a.repeatGap, a.gap);
  EXPECT_TRUE(a.flags & CodeFlag::kToggling);
  EXPECT_FALSE(a.flags & CodeFlag::kRepeatCode);
  EXPECT_EQ(a.flags & CodeFlag::kEncodingMask, 1u);
}

TEST(LircdImport, AddsToADeviceFileKeepingTheRest) {
  CIniFile file = CIniFile::parse("[Device Config]\nDeviceName=Home-made\nCOM Port=COM2\n[Serial]\nBaud=9600\n"
                                  "[r]\ndwTolerance=30\ndwMode=1\n[old@r]\nFlags=8\n[keep@other]\nFlags=8\n");
  EXPECT_TRUE(deviceFileHasRemote(file, "R"));
  EXPECT_FALSE(deviceFileHasRemote(file, "Device Config"));
  addImportedRemote(file, importLircdRemote(parseLircdConfig(remote(kSpace))[0]));
  EXPECT_EQ(file.getString("Device Config", "COM Port"), "COM2");
  EXPECT_EQ(file.getString("Serial", "Baud"), "9600");
  EXPECT_TRUE(file.hasSection("keep@other"));
  EXPECT_FALSE(file.hasSection("old@r"));  // the remote is replaced whole
  CCodeStore store;
  readCodeStore(file.text(), store);
  ASSERT_NE(store.findRemote("r"), nullptr);
  EXPECT_EQ(store.findRemote("r")->commands.size(), 1u);
  EXPECT_EQ(store.findRemote("r")->mode, 1);
  EXPECT_NE(store.findCode("r", "a"), nullptr);
}

TEST(LircdImport, ReplacesARemoteOfTheSameNameInTheStore) {
  CCodeStore store;
  DeviceCode learned;
  learned.flags = CodeFlag::kRaw;
  learned.signature = {1, 2};
  store.setCode("R", "old", learned);
  store.setCode("keep", "x", learned);
  addImportedRemote(store, importLircdRemote(parseLircdConfig(remote(kSpace))[0]));
  EXPECT_EQ(store.findCode("r", "old"), nullptr);
  ASSERT_NE(store.findCode("r", "a"), nullptr);
  EXPECT_EQ(store.findRemote("r")->mode, 1);
  EXPECT_NE(store.findCode("keep", "x"), nullptr);
}
