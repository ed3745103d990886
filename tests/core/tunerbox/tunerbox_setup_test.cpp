// The setup wizard's measurements and analysis, the log lines it writes, the
// five GPIO values in the registry and the remote that comes with the card.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "plugins/store/command_store.h"
#include "plugins/tunerbox/default_remote.h"
#include "plugins/tunerbox/gpio_settings.h"
#include "plugins/tunerbox/setup_analysis.h"
#include "plugins/tunerbox/setup_log.h"
#include "plugins/tunerbox/setup_sampling.h"

namespace vexa::tunerbox {
namespace {

SetupMeasurements measured(uint32_t init, uint32_t initMask, uint32_t down, uint32_t up,
                           std::vector<uint32_t> buttons) {
  return {0x10, init, initMask, down, up, std::move(buttons)};
}

TEST(SetupAnalysis, ButtonsDifferingInTheLowByteKeepTheMaskThere) {
  // Bit 12 is set in every value: it carries nothing.
  auto result = analyseSetup(measured(0x1000, 0xFFFFFF, 0x1201, 0x1201, {0x1201, 0x1202, 0x1284, 0x1278}));
  EXPECT_EQ(result.irMask, 0xFFu);
  auto subset = analyseSetup(measured(0x1000, 0xFFFFFF, 0x1201, 0x1201, {0x1201, 0x1202, 0x1203}));
  EXPECT_EQ(subset.irMask, 0x03u);
  EXPECT_EQ(subset.irMask & ~0xFFu, 0u);
  // Held and released alike, unlike idle: a held button shows once.
  EXPECT_TRUE(subset.compatible());
  EXPECT_EQ(subset.flags, 0u);
}

TEST(SetupAnalysis, UpEqualToDownEqualToIdleFails) {
  auto result = analyseSetup(measured(0x01, 0xFF, 0x01, 0x01, {0x01, 0x02, 0x03}));
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.compatible());
}

TEST(SetupAnalysis, FewerThanThreeButtonValuesCannotFinish) {
  EXPECT_TRUE(analyseSetup(measured(0, 0xFF, 0x85, 0x05, {0x85, 0x05, 0x86})).compatible());
  EXPECT_FALSE(analyseSetup(measured(0, 0xFF, 0x85, 0x05, {0x85, 0x05})).compatible());
  EXPECT_FALSE(analyseSetup(measured(0, 0xFF, 0, 0, {})).compatible());
}

TEST(SetupAnalysis, ADownBitThatTheReleaseClearsGivesFlagsOne) {
  auto result = analyseSetup(measured(0x00, 0xFF, 0x85, 0x05, {0x85, 0x05, 0x86, 0x06, 0x81}));
  EXPECT_TRUE(result.compatible());
  EXPECT_EQ(result.irMask, 0x87u);
  EXPECT_EQ(result.btndwnMask, 0x80u);
  EXPECT_EQ(result.btnupMask, 0u);
  EXPECT_EQ(result.flags, 1u);
}

TEST(SetupAnalysis, AnUpBitThatTheReleaseSetsGivesFlagsThree) {
  auto result = analyseSetup(measured(0x00, 0xFF, 0x05, 0x85, {0x05, 0x85, 0x06, 0x86, 0x01}));
  EXPECT_TRUE(result.compatible());
  EXPECT_EQ(result.btnupMask, 0x80u);
  EXPECT_EQ(result.btndwnMask, 0u);
  EXPECT_EQ(result.flags, 3u);
}

TEST(SetupAnalysis, AnIdleBitNoButtonShowsBecomesTheUpMask) {
  // Released looks like idle (0x10); bit 4 appears only in the first value.
  auto result = analyseSetup(measured(0x10, 0xFF, 0x01, 0x10, {0x11, 0x02, 0x03}));
  EXPECT_EQ(result.irMask, 0x13u);
  EXPECT_EQ(result.btnupMask, 0x10u);
  EXPECT_EQ(result.flags, 3u);
  EXPECT_TRUE(result.compatible());
  // With no such bit the idle value stays the up mask, reduced to its lowest
  // bit; flags 1 would then need a down bit that does not exist.
  auto shared = analyseSetup(measured(0x13, 0xFF, 0x01, 0x13, {0x01, 0x12, 0x13}));
  EXPECT_EQ(shared.btnupMask, 0x01u);
  EXPECT_EQ(shared.btndwnMask, 0u);
  EXPECT_EQ(shared.flags, 0u);
}

TEST(SetupAnalysis, ACardThatReleasesToIdleReportsEachPressOnce) {
  // Pressed shows the code, released goes back to 0: no mode bit to watch.
  auto result = analyseSetup(measured(0x00, 0xFF, 0x01, 0x00, {0x01, 0x02, 0x03}));
  EXPECT_TRUE(result.compatible());
  EXPECT_EQ(result.flags, 0u);
  CReceiverDecoder decoder;
  decoder.configure(result.config(0), 0);
  EXPECT_EQ(decoder.gpio(0x02), 0x02u);
  EXPECT_FALSE(decoder.gpio(0x02));
  EXPECT_FALSE(decoder.gpio(0x00));
}

TEST(SetupAnalysis, UnstableBitsAreLeftOutOfTheIdleValue) {
  // Bit 7 flickered while idle; without it idle is 0 and differs from the release.
  auto result = analyseSetup(measured(0x80, 0x7F, 0x05, 0x85, {0x05, 0x85, 0x06, 0x86}));
  EXPECT_EQ(result.flags, 3u);
  EXPECT_EQ(result.btnupMask, 0x80u);
}

TEST(SetupLog, LinesAreWrittenAsTheLogFileHasThem) {
  EXPECT_EQ(logValue("GPIO_OUT_EN", 0xC00010), "GPIO_OUT_EN: c00010\n");
  EXPECT_EQ(logButtons({0x85, 0x5}), "BTNARRAY\n85 5 \n");
  EXPECT_EQ(logButtons({}), "BTNARRAY\n\n");
  SetupAnalysis result{0x87, 0, 0x80, 1, true};
  EXPECT_EQ(logAnalysis(result), "\n\nANALYZE\n\nIR_MASK 87\nBTNUP_MASK 0\nBTNDWN_MASK 80\nFLAGS 1\n\n");
  EXPECT_EQ(logMicrocontroller(0x35), "I2C: 35\n");
}

TEST(SetupLog, TheFirstLineStartsTheFileBesideThePlugIn) {
  EXPECT_EQ(logPathFor("C:\\Vexa\\devices\\tunerbox.dll"), "C:\\Vexa\\devices\\tunerbox.log");
  EXPECT_EQ(logPathFor("/opt/v1.2/tunerbox"), "/opt/v1.2/tunerbox.log");
  const auto path = std::filesystem::temp_directory_path() / "tunerbox-setup-log-test.log";
  CSetupLog log(path.string());
  ASSERT_TRUE(log.create("old run\n"));
  ASSERT_TRUE(log.create(logValue("GPIO_OUT_EN", 0x10)));
  ASSERT_TRUE(log.append(logValue("GPIO_INIT", 0x40)));
  std::stringstream text;
  {
    std::ifstream in(path, std::ios::binary);  // closed before the removal: Windows will not remove an open file
    text << in.rdbuf();
  }
  EXPECT_EQ(text.str(), "GPIO_OUT_EN: 10\nGPIO_INIT: 40\n");
  std::filesystem::remove(path);
}

TEST(SetupSampling, AnyBitThatMovesWhileIdleIsUnstable) {
  CStabilityMask stability(0x0100);
  for (int i = 0; i < kStabilityReadings; ++i) stability.add(i == 500 ? 0x0105 : (i % 7 ? 0x0100 : 0x0140));
  EXPECT_EQ(stability.mask(), ~0x45u);
}

TEST(SetupSampling, OneButtonHeldAndReleased) {
  CButtonCapture capture(0x1080, 0x00FF);
  using Event = CButtonCapture::Event;
  EXPECT_EQ(capture.add(0x3080), Event::kNone);  // noise on an unstable bit
  EXPECT_FALSE(capture.pressed());
  EXPECT_EQ(capture.add(0x1085), Event::kDown);
  EXPECT_EQ(capture.up(), 0x85u);  // no release seen yet: as held
  EXPECT_EQ(capture.add(0x1085), Event::kNone);
  EXPECT_EQ(capture.add(0x1005), Event::kUp);
  EXPECT_EQ(capture.add(0x1080), Event::kNone);
  EXPECT_EQ(capture.down(), 0x85u);
  EXPECT_EQ(capture.up(), 0x05u);
}

TEST(SetupSampling, ButtonValuesAreCollectedOnceEach) {
  CButtonCollection buttons(0xFF);
  EXPECT_TRUE(buttons.add(0x105));
  EXPECT_FALSE(buttons.add(0x205));  // the same through the stable bits
  EXPECT_TRUE(buttons.add(0x06));
  EXPECT_FALSE(buttons.enough());
  EXPECT_TRUE(buttons.add(0x00));
  EXPECT_TRUE(buttons.enough());
  EXPECT_EQ(buttons.values(), (std::vector<uint32_t>{0x05, 0x06, 0x00}));
  buttons.clear();
  EXPECT_TRUE(buttons.values().empty());
}

// The plug-in's key with only values.
class CValuesKey final : public store::IRegistryKey {
 public:
  std::vector<Value> list;
  std::vector<std::string> subkeyNames() const override { return {}; }
  std::vector<Value> values() const override { return list; }
  std::unique_ptr<IRegistryKey> openSubkey(const std::string&) const override { return nullptr; }
  std::unique_ptr<IRegistryKey> createSubkey(const std::string&) override { return nullptr; }
  bool deleteTree(const std::string&) override { return true; }
  bool setDword(const std::string& name, uint32_t data) override {
    list.push_back({name, true, data});
    return true;
  }
};

TEST(GpioSettings, AllFiveValuesOrNone) {
  CValuesKey key;
  const GpioConfig config{0x10, 0xFF, 0x80, 0x40, 3};
  ASSERT_TRUE(writeGpioConfig(key, config));
  EXPECT_EQ(key.list.size(), 5u);
  EXPECT_EQ(readGpioConfig(key), config);
  key.list.erase(key.list.begin() + 2);
  EXPECT_EQ(readGpioConfig(key), GpioConfig{});
  key.list.push_back({"btnup_mask", false, 0x80});  // not a DWORD
  EXPECT_EQ(readGpioConfig(key), GpioConfig{});
}

TEST(HauppaugeRemote, CreatedOnceWithItsButtonsReportedBesideOtherRemotes) {
  store::CCommandStore store;
  store.appendCommand("Amp", "Power", 0x3C);
  ASSERT_TRUE(ensureHauppaugeRemote(store));
  EXPECT_EQ(store.commands(kHauppaugeRemote)->size(), 21u);
  EXPECT_EQ(store.findByName(kHauppaugeRemote, "Full Screen")->code, 0xB8u);
  // A code in both remotes goes out once for each.
  EXPECT_EQ(store.firstWithCodePerRemote(0x3C),
            (std::vector<store::FoundCommand>{{"Amp", "Power"}, {"Hauppauge WinTV", "TV"}}));
  store.removeCommand(kHauppaugeRemote, "TV");
  EXPECT_FALSE(ensureHauppaugeRemote(store));
  EXPECT_EQ(store.commands(kHauppaugeRemote)->size(), 20u);
}

}  // namespace
}  // namespace vexa::tunerbox
