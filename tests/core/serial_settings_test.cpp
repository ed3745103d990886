#include <gtest/gtest.h>

#include "plugins/serial/receiver_models.h"
#include "plugins/serial/serial_settings.h"
#include "plugins/serial/setting_ranges.h"
#include "plugins/kit/ini_settings_store.h"

using namespace vexa;
using namespace vexa::serial;
using vexa::kit::CIniSettingsStore;

TEST(SerialSettings, MissingKeysTakeTheFileDefaults) {
  CIniFile ini;
  const SerialSettings s = readSettings(CIniSettingsStore(ini));
  EXPECT_EQ(s.port, PortSettings{});
  // Unlike a first start, a file without texts means no init and no response.
  EXPECT_EQ(s.device.init, "");
  EXPECT_FALSE(s.device.initEnabled);
  EXPECT_EQ(s.device.response, "");
  EXPECT_FALSE(s.device.responseEnabled);
  EXPECT_EQ(s.device.codeLength, 6u);
  EXPECT_EQ(s.device.learnSamples, 2);
  EXPECT_EQ(s.device.tolerance, 0);
  EXPECT_EQ(s.advanced, AdvancedSettings{});
  // Before any file: init "IR", response "OK", both enabled.
  EXPECT_EQ(SerialSettings{}.device.init, "IR");
  EXPECT_TRUE(SerialSettings{}.device.responseEnabled);
}

TEST(SerialSettings, ReadsEveryKeyFromItsSection) {
  CIniFile ini = CIniFile::parse(
      "[PortSettings]\nBaud=57600\nParity=Even\nStopBits=2\nDataBits=7\nRTS=Toggle\nDTR=Handshake\n"
      "[DeviceSettings]\nInit=AT\nResponse=RDY\nIRCodeLength=12\nLearnSamples=4\nTolerance=9\n"
      "[AdancedSettings]\nReset=11\nPowerUp=12\nTxDDelay=13\nRxDDelay=14\nReInit=30\n");
  const SerialSettings s = readSettings(CIniSettingsStore(ini));
  EXPECT_EQ(s.port, (PortSettings{"57600", "Even", "2", "7", "Toggle", "Handshake"}));
  EXPECT_EQ(s.device, (DeviceSettings{"AT", true, "RDY", true, 12, 4, 9}));
  EXPECT_EQ(s.advanced, (AdvancedSettings{11, 12, 13, 14, 30}));
}

TEST(SerialSettings, CodeLengthFromTheFileIsClamped) {
  EXPECT_EQ(codeLengthFromFile("5000"), 2048u);
  EXPECT_EQ(codeLengthFromFile("-1"), 2048u);     // read as unsigned
  EXPECT_EQ(codeLengthFromFile("-3000"), 2048u);
  EXPECT_EQ(codeLengthFromFile("2048"), 2048u);
  EXPECT_EQ(codeLengthFromFile("2049"), 2048u);
  EXPECT_EQ(codeLengthFromFile("50"), 50u);
  EXPECT_EQ(codeLengthFromFile("0"), 2048u);      // a zero length would never deliver
  EXPECT_EQ(codeLengthFromFile("junk"), 2048u);
  EXPECT_EQ(parseProfileInt(" 17abc"), 17);
  EXPECT_EQ(parseProfileInt("-5"), -5);
  EXPECT_EQ(parseProfileInt("4294967295"), -1);   // 32-bit wrap like the Windows reader
}

TEST(SerialSettings, WriteThenReadKeepsEverything) {
  SerialSettings s;
  s.port = {"115200", "Odd", "1.5", "5", "Disable", "Disable"};
  s.device = {"I", true, "OK", true, 2048, 10, 255};
  s.advanced = {1, 2, 3, 4, 10};
  CIniFile ini;
  CIniSettingsStore store(ini);
  ASSERT_TRUE(writeSettings(s, store));
  EXPECT_EQ(readSettings(store), s);
  EXPECT_EQ(ini.getString("AdancedSettings", "ReInit"), "10");
}

TEST(SerialSettings, DisabledTextsAreWrittenEmptyAndNumbersUnsigned) {
  SerialSettings s;
  s.device.initEnabled = false;
  s.device.responseEnabled = false;
  s.advanced.resetMs = -1;
  CIniFile ini;
  CIniSettingsStore store(ini);
  writeSettings(s, store);
  EXPECT_EQ(ini.find("DeviceSettings", "Init"), std::optional<std::string>(""));
  EXPECT_EQ(ini.find("DeviceSettings", "Response"), std::optional<std::string>(""));
  EXPECT_EQ(ini.getString("AdancedSettings", "Reset"), "4294967295");
  EXPECT_FALSE(readSettings(store).device.initEnabled);
}

TEST(SerialSettings, AFailedWriteIsReported) {
  struct FailingStore : ISettingsStore {
    int writes = 0;
    std::string read(std::string_view, std::string_view, std::string_view f) const override { return std::string(f); }
    bool write(std::string_view, std::string_view key, std::string_view) override {
      ++writes;
      return key != "Tolerance";
    }
  } store;
  EXPECT_FALSE(writeSettings(SerialSettings{}, store));
  EXPECT_EQ(store.writes, 16);  // one failure does not stop the others
}

TEST(SerialPresets, MatchExactlyAndCaseSensitively) {
  ASSERT_NE(findPreset("Irman"), nullptr);
  ASSERT_NE(findPreset("IRBOX"), nullptr);
  EXPECT_EQ(findPreset("irman"), nullptr);
  EXPECT_EQ(findPreset("Irman "), nullptr);
  EXPECT_EQ(findPreset(kGenericModel), nullptr);
  EXPECT_EQ(findPreset("Custom"), nullptr);
  const ReceiverPreset* urcr = findPreset("URCR 1.2");
  ASSERT_NE(urcr, nullptr);
  EXPECT_STREQ(urcr->baud, "57600");
  EXPECT_EQ(urcr->codeLength, 50u);
  EXPECT_EQ(urcr->tolerance, 4);
  EXPECT_EQ(urcr->learnSamples, 3);
  EXPECT_STREQ(findPreset("Redlink 105 TV")->response, "");
  EXPECT_STREQ(findPreset("Redlink 105 TV")->init, "IR");
}

TEST(SerialPresets, APresetOverridesLineAndDeviceButNotTimings) {
  SerialSettings user;
  user.port = {"1200", "Odd", "2", "7", "Disable", "Disable"};
  user.device = {"XY", true, "ZZ", true, 10, 5, 7};
  user.advanced = {1, 2, 3, 4, 60};
  const SerialSettings silitek = settingsForModel(user, "Silitek SM-1000");
  EXPECT_EQ(silitek.port, (PortSettings{"1200", "None", "1", "8", "Enable", "Enable"}));
  EXPECT_FALSE(silitek.device.initEnabled);
  EXPECT_FALSE(silitek.device.responseEnabled);
  EXPECT_EQ(silitek.device.codeLength, 3u);
  EXPECT_EQ(silitek.advanced, user.advanced);
  const SerialSettings irman = settingsForModel(user, "Irman");
  EXPECT_EQ(irman.device, (DeviceSettings{"IR", true, "OK", true, 6, 2, 0}));
  EXPECT_EQ(settingsForModel(user, kGenericModel), user);
  EXPECT_EQ(settingsForModel(user, "Custom"), user);
}

TEST(SerialPresets, ModelListIsTheOfferedOrderWithDoubleNul) {
  const std::string list = deviceNameList();
  const std::string expected = std::string("URCR 1.2\0Silitek SM-1000\0RealMagic Hollywood+\0", 46) +
                               std::string("Generic Serial IR Receiver\0Redlink 105 TV\0miroMEDIA remote\0\0", 60);
  EXPECT_EQ(list, expected);
  EXPECT_TRUE(isGenericModel("generic serial ir receiver"));
  EXPECT_FALSE(isGenericModel("Generic Serial IR Receiver2"));
  EXPECT_FALSE(isGenericModel("Irman"));
}

TEST(SerialRanges, PagesCorrectOutOfRangeNumbers) {
  EXPECT_EQ(correctCodeLength(2049), 1u);
  EXPECT_EQ(correctCodeLength(0), 2048u);
  EXPECT_EQ(correctCodeLength(2048), 2048u);
  EXPECT_EQ(correctLearnSamples(11), 10);
  EXPECT_EQ(correctLearnSamples(0), 1);
  EXPECT_EQ(correctLearnSamples(5), 5);
  EXPECT_EQ(correctTolerance(256), 255);
  EXPECT_EQ(correctTolerance(255), 255);
  EXPECT_EQ(reinitPeriodMs(5), 0u);
  EXPECT_EQ(reinitPeriodMs(9), 0u);
  EXPECT_EQ(reinitPeriodMs(10), 10000u);
  EXPECT_EQ(reinitPeriodMs(0), 0u);
  EXPECT_EQ(reinitPeriodMs(-20), 0u);
}
