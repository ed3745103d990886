#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "vexa/base/file_io.h"
#include "vexa/device/binary_text.h"
#include "vexa/device/device_settings.h"
#include "vexa/device/plugin_list.h"

using namespace vexa;
using namespace vexa::device;

namespace {

CCodeStore sampleStore() {
  CCodeStore store;
  DeviceCode power;
  power.flags = CodeFlag::kRaw;
  power.signature = {0x3C, 0x01};
  store.setCode("TV", "Power", power);
  DeviceCode play;
  play.flags = CodeFlag::kTiming | CodeFlag::kDecoded | CodeFlag::kGapKnown | CodeFlag::kToggling | 2;
  play.raw = {0x80000234u, 0x456u, 0x80000234u};
  play.toggled = {0x80000111u};
  play.gap = 0x00009000u;
  play.repeatGap = 0x80001000u;  // a pulse: bit 31 set, saved as a negative "%d"
  play.decoded = 0xDEADBEEFu;
  play.t = 7;
  store.setCode("Stereo", "Play", play);
  store.setRemoteSettings("Stereo", 30, 1);
  return store;
}

}  // namespace

TEST(DeviceSettings, WritesTheHostSectionsInThePartsLayout) {
  CIniFile ini = CIniFile::parse("[Serial]\r\nBaud=9600\r\n");  // what the plug-in wrote
  HostSettings settings{"IRman", SelectorChoice{"COM Port", "COM2"}, std::nullopt};
  writeHostSections(ini, settings, sampleStore());
  EXPECT_EQ(ini.text(),
            "[Serial]\r\nBaud=9600\r\n"
            "[Device Config]\r\nDeviceName=IRman\r\nCOM Port=COM2\r\n"
            "[Stereo]\r\ndwTolerance=30\r\ndwMode=1\r\n"
            "[Play@Stereo]\r\nFlags=786458\r\n"
            "Raw=EDCAAAAIGFEAAAAAEDCAAAAI\r\nRawLen=12\r\n"
            "Toggled=BBBAAAAI\r\nToggledLen=4\r\n"
            "Gap=36864\r\nRepeatGap=-2147479552\r\nT=7\r\nDecoded=-559038737\r\n"
            "[TV]\r\ndwTolerance=0\r\ndwMode=0\r\n"
            "[Power@TV]\r\nFlags=32\r\nSignature=MDBA\r\n");
}

TEST(DeviceSettings, ReadsBackWhatItWrote) {
  CIniFile ini;
  writeHostSections(ini, {"IRman", {}, {}}, sampleStore());
  CCodeStore read;
  readCodeStore(ini.text(), read);
  EXPECT_EQ(read.remotes(), sampleStore().remotes());
}

TEST(DeviceSettings, SectionsWithoutACommandOnlySupplyRemoteSettings) {
  CCodeStore store;
  readCodeStore(
      "[Device Config]\nDeviceName=x\n"
      "[TV]\ndwTolerance=12\ndwMode=0\n"
      "[Lonely]\ndwTolerance=5\n"           // a remote without buttons is not created
      "[@TV]\nFlags=32\nSignature=BA\n"     // empty command part: skipped
      "[Power@TV]\nSignature=BAAB\n"        // Flags defaults to 0x20
      "[Odd@TV]\nFlags=1\n"                 // neither raw nor timing: skipped
      "[Broken\n"                           // no closing bracket: not a section name
      "[Mute@TV@X]\nFlags=32\nSignature=CA\n",
      store);
  ASSERT_EQ(store.remotes().size(), 2u);
  const DeviceRemote* tv = store.findRemote("TV");
  ASSERT_NE(tv, nullptr);
  EXPECT_EQ(tv->tolerance, 12);
  EXPECT_EQ(tv->commands.size(), 1u);
  EXPECT_EQ(store.findCode("TV", "Power")->signature, (std::vector<uint8_t>{0x01, 0x10}));
  EXPECT_EQ(store.findCode("TV@X", "Mute")->signature, (std::vector<uint8_t>{0x02}));  // split at the first "@"
  EXPECT_EQ(store.findRemote("Lonely"), nullptr);
}

TEST(DeviceSettings, SampleLengthsAreNotTrustedAndLongValuesAreReadWhole) {
  std::string longSignature;
  for (int i = 0; i < 5000; ++i) longSignature += "PP";
  CCodeStore store;
  readCodeStore(
      "[A@R]\nFlags=8\nRaw=BAAAAAAA\nRawLen=4000\nToggled=BAAAAAAA\nToggledLen=3\nGap=5\n"
      "[B@R]\nFlags=32\nSignature=" + longSignature + "\n",
      store);
  const DeviceCode* a = store.findCode("R", "A");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->raw, (std::vector<uint32_t>{1}));
  EXPECT_TRUE(a->toggled.empty());
  EXPECT_EQ(a->gap, 5u);
  EXPECT_EQ(store.findRemote("R")->mode, 1);  // "A" made it a timing remote; no dwMode section overrides
  EXPECT_EQ(store.findCode("R", "B")->signature.size(), 5000u);
}

TEST(DeviceSettings, SelectorChoicesUseTheCaptionOrAFixedKey) {
  EXPECT_EQ(selectorKey("COM Port", 1), "COM Port");
  EXPECT_EQ(selectorKey("", 1), "Selector1");
  EXPECT_EQ(selectorKey("", 2), "Selector2");
  CIniFile ini;
  writeHostSections(ini, {"x", SelectorChoice{"Selector1", "A"}, SelectorChoice{"Model", "B"}}, {});
  EXPECT_EQ(readSelectorChoice(ini, "", 1), "A");
  EXPECT_EQ(readSelectorChoice(ini, "Model", 2), "B");
  EXPECT_EQ(readSelectorChoice(ini, "Other", 2), "");
}

TEST(DeviceSettingsFile, PerUserPlaceWithMigrationFromTheProgramFolder) {
  vexa::test::CTempFolder dir;
  const auto appData = dir / "AppData";
  const auto program = dir / "Program";
  std::filesystem::create_directories(program);
  const SettingsFileLocation where = settingsFileLocation(appData, program, "serial.dll");
  EXPECT_EQ(where.file, appData / "Vexa" / "serial.vdp");
  EXPECT_EQ(where.legacy, program / "serial.vdp");
  EXPECT_EQ(settingsFileLocation(std::nullopt, program, "Serial.Rx.dll").file, program / "Serial.Rx.vdp");

  writeFileAtomically(program / "serial.vdp", "old");
  prepareSettingsFile(where);
  EXPECT_EQ(readFileBytes(where.file), "old");
  EXPECT_FALSE(std::filesystem::exists(program / "serial.vdp"));

  writeFileAtomically(program / "serial.vdp", "older");
  prepareSettingsFile(where);
  EXPECT_EQ(readFileBytes(where.file), "old");  // an existing per-user file is not overwritten
}
