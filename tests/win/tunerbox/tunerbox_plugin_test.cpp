// tunerbox.dll as the host drives it, against the stand-in driver's simulated
// Bt878: the library installs the driver service in this prefix, the test
// scripts the card's receiver, and presses come back as command records.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "plugins/tunerbox/win/resource.h"
#include "support/win/pump.h"
#include "support/win/recording_window.h"
#include "tests/win/hwport/hwport_test_support.h"
#include "tests/win/tunerbox/tunerbox_exports.h"
#include "vexa/device/plugin_abi.h"

namespace vexa::test {
namespace {

using hwsim::CardVariant;

// One service for the whole program: the plug-in binds the library once per
// process and keeps it, so the driver stays until the program ends.
class CDriverEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    CServiceRemoval::Remove();
    m_library = std::make_unique<CHwportLibrary>(ProgramFolder());
  }
  void TearDown() override {
    m_library.reset();
    CServiceRemoval::Remove();
  }

 private:
  std::unique_ptr<CHwportLibrary> m_library;
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new CDriverEnvironment);

constexpr const char* kTestKey = "Software\\Marlix\\Vexa\\tunerbox-test.dll";

class TunerboxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(tunerbox().readConfig, nullptr);
    ASSERT_TRUE(m_card.Open()) << "the driver service did not start";
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr),
              ERROR_SUCCESS);
    ASSERT_TRUE(m_window.Create());
  }
  void TearDown() override {
    tunerbox().endMsgLoop();
    tunerbox().release();
    if (m_dialog) DestroyWindow(m_dialog);
    RegCloseKey(m_key);
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
  }
  void SetDword(HKEY key, const char* name, DWORD value) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  }
  void Gpio(DWORD mask, DWORD flags) {
    SetDword(m_key, "out_en", 0);
    SetDword(m_key, "mask", mask);
    SetDword(m_key, "btnup_mask", 0);
    SetDword(m_key, "btndwn_mask", 0);
    SetDword(m_key, "flags", flags);
  }
  void AddCommand(const char* remote, const char* command, DWORD code) {
    HKEY key = nullptr;
    const std::string path = std::string("Commands\\") + remote;
    ASSERT_EQ(RegCreateKeyExA(m_key, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    SetDword(key, command, code);
    RegCloseKey(key);
  }
  void OpenDialog() {
    abi::Point at{0, 0};
    m_dialog = static_cast<HWND>(tunerbox().createCfgDlg(&at, m_window.Handle()));
    ASSERT_NE(m_dialog, nullptr);
  }
  std::string DialogText(int id) {
    char text[256] = {};
    GetDlgItemTextA(m_dialog, id, text, sizeof text);
    return text;
  }
  void Start() {
    tunerbox().readConfig(m_key);
    ASSERT_EQ(tunerbox().startMsgLoop(m_window.Handle()), 1);
  }

  HKEY m_key = nullptr;
  HWND m_dialog = nullptr;
  CRecordingWindow m_window;
  CSimulatedCard m_card;
};

TEST_F(TunerboxTest, AGpioPressRunsTheLearnedCommandOnce) {
  Gpio(0xFF00, 0);
  AddCommand("TV", "Power", 0x1200);
  AddCommand("TV", "Mute", 0x1300);
  ASSERT_TRUE(m_card.Configure(CardVariant::gpioReceiver, 0x40, {}));
  Start();
  // Played from now on: the press does not fall into the card's identification.
  ASSERT_TRUE(m_card.Configure(CardVariant::gpioReceiver, 0x40, {{0x40, 200}, {0x1240, 400}}));
  ASSERT_TRUE(pumpUntil([&] { return !m_window.records.empty(); }, 5000));
  pumpFor(600);  // held, then released: no more
  ASSERT_EQ(m_window.records.size(), 1u);
  EXPECT_EQ(m_window.records[0].remote, "TV");
  EXPECT_EQ(m_window.records[0].command, "Power");
  EXPECT_EQ(m_window.records[0].repeat, 0);
}

TEST_F(TunerboxTest, TheCardIsNamedFromItsEeprom) {
  Gpio(0xFF00, 0);
  ASSERT_TRUE(m_card.Configure(CardVariant::gpioReceiver, 0, {}, 0x1200BD11));
  OpenDialog();
  Start();
  EXPECT_EQ(DialogText(IDC_TUNERBOX_CARD), "Pinnacle PCTV Rave");
  EXPECT_EQ(DialogText(IDC_TUNERBOX_STATUS), "TV hardware is configured.");
  EXPECT_TRUE(m_window.sawCode(abi::MainCode::kDeviceReady));
}

TEST_F(TunerboxTest, AnUnconfiguredGpioCardAsksForTheWizard) {
  ASSERT_TRUE(m_card.Configure(CardVariant::gpioReceiver, 0, {}));
  OpenDialog();
  tunerbox().readConfig(m_key);
  EXPECT_EQ(tunerbox().startMsgLoop(m_window.Handle()), 0);
  EXPECT_EQ(DialogText(IDC_TUNERBOX_STATUS), "Run setup wizard to configure your TV card.");
  EXPECT_TRUE(m_window.sawCode(abi::MainCode::kDeviceNotInitialised));
}

TEST_F(TunerboxTest, AMicrocontrollerCardIsDetectedWithItsRemote) {
  ASSERT_TRUE(m_card.Configure(CardVariant::microcontrollerReceiver, 0, {}, 0x13EB0070));
  OpenDialog();
  Start();
  EXPECT_EQ(DialogText(IDC_TUNERBOX_STATUS), "Hauppauge WinTV detected.");
  EXPECT_EQ(DialogText(IDC_TUNERBOX_CARD), "Hauppauge WinTV (BT878)");
  char name[abi::kEnumNameBuffer] = {};
  EXPECT_NE(tunerbox().getFirstCmd("Hauppauge WinTV", name), 0);
  EXPECT_STREQ(name, "0");
}

TEST_F(TunerboxTest, TheDefaultRemoteRunsOnAMicrocontrollerCard) {
  // First byte 0x20, second 0x34: "Mute" on the card's own remote.
  ASSERT_TRUE(m_card.Configure(CardVariant::microcontrollerReceiver, 0, {}, 0x13EB0070));
  Start();
  ASSERT_TRUE(m_card.Configure(CardVariant::microcontrollerReceiver, 0, {{0, 1200}, {0x2034, 120}}, 0x13EB0070));
  ASSERT_TRUE(pumpUntil([&] { return !m_window.records.empty(); }, 5000));
  EXPECT_EQ(m_window.records[0].remote, "Hauppauge WinTV");
  EXPECT_EQ(m_window.records[0].command, "Mute");
}

}  // namespace
}  // namespace vexa::test
