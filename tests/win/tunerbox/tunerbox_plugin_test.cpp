// tunerbox.dll as the host drives it, against the stand-in driver's simulated
// Bt878: the library installs the driver service in this prefix, the test
// scripts the card's receiver, and presses come back as command records.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <string>
#include <vector>

#include "plugins/store/win/store_resource.h"
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
  // Held long: each poll drives some hundred line changes through the driver.
  ASSERT_TRUE(m_card.Configure(CardVariant::microcontrollerReceiver, 0, {{0, 300}, {0x2034, 3000}}, 0x13EB0070));
  ASSERT_TRUE(pumpUntil([&] { return !m_window.records.empty(); }, 10000));
  EXPECT_EQ(m_window.records[0].remote, "Hauppauge WinTV");
  EXPECT_EQ(m_window.records[0].command, "Mute");
}

TEST_F(TunerboxTest, ACodeCopiedToTheDialogRunsItsCommandWhenItHasOneToFourBytes) {
  Gpio(0xFF00, 0);
  AddCommand("VCR", "Play", 0x1234);
  ASSERT_TRUE(m_card.Configure(CardVariant::gpioReceiver, 0, {}));
  OpenDialog();
  Start();
  const BYTE bytes[] = {0x00, 0x00, 0x12, 0x34, 0x56};
  COPYDATASTRUCT tooLong{0, 5, const_cast<BYTE*>(bytes)};
  EXPECT_EQ(SendMessageA(m_dialog, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&tooLong)), FALSE);
  COPYDATASTRUCT empty{0, 0, nullptr};
  EXPECT_EQ(SendMessageA(m_dialog, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&empty)), FALSE);
  EXPECT_TRUE(m_window.records.empty());
  COPYDATASTRUCT code{0, 4, const_cast<BYTE*>(bytes)};
  EXPECT_EQ(SendMessageA(m_dialog, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&code)), TRUE);
  pumpPending();
  ASSERT_EQ(m_window.records.size(), 1u);
  EXPECT_EQ(m_window.records[0].command, "Play");
}

// While the Learn window is open the poller hands it raw codes: one button
// pressed twice is learned, and afterwards runs as the new command.
TEST_F(TunerboxTest, AButtonLearnedFromTheCardIsRecognised) {
  Gpio(0xFF00, 0);
  ASSERT_TRUE(m_card.Configure(CardVariant::gpioReceiver, 0x40, {}));
  OpenDialog();
  Start();
  std::atomic<bool> done{false}, learned{false};
  std::thread user([&] {
    HWND learn = nullptr;
    for (int i = 0; i < 100 && !((learn = FindWindowA(nullptr, "Learn")) && IsWindowVisible(learn)); ++i) Sleep(50);
    if (learn) {
      SetDlgItemTextA(learn, IDC_LEARN_REMOTE, "Card");
      SetDlgItemTextA(learn, IDC_LEARN_NAME, "Guide");
      m_card.Configure(CardVariant::gpioReceiver, 0x40, {{0x40, 200}, {0x1540, 300}, {0x40, 300}, {0x1540, 300}});
      HWND ok = GetDlgItem(learn, IDOK);
      for (int i = 0; i < 100 && !IsWindowEnabled(ok); ++i) Sleep(50);
      learned = IsWindowEnabled(ok) != FALSE;
      PostMessageA(learn, WM_COMMAND, IDOK, 0);
      for (int i = 0; i < 100 && FindWindowA(nullptr, "Learn"); ++i) Sleep(50);
    }
    done = true;
  });
  PostMessageA(m_dialog, WM_COMMAND, ID_STORE_LEARN, 0);
  const bool finished = pumpUntil([&] { return done.load(); }, 15000);
  user.join();
  ASSERT_TRUE(finished);
  EXPECT_TRUE(learned);
  EXPECT_TRUE(m_window.records.empty());  // codes while learning run nothing
  char name[abi::kEnumNameBuffer] = {};
  EXPECT_NE(tunerbox().getFirstCmd("Card", name), 0);
  EXPECT_STREQ(name, "Guide");

  ASSERT_TRUE(m_card.Configure(CardVariant::gpioReceiver, 0x40, {{0x40, 200}, {0x1540, 300}}));
  ASSERT_TRUE(pumpUntil([&] { return !m_window.records.empty(); }, 5000));
  EXPECT_EQ(m_window.records[0].remote, "Card");
  EXPECT_EQ(m_window.records[0].command, "Guide");
}

int notInitialisedCount(const CRecordingWindow& window) {
  return static_cast<int>(std::count_if(window.statuses.begin(), window.statuses.end(), [](const StatusEntry& s) {
    return s.code == abi::MainCode::kDeviceNotInitialised;
  }));
}

TEST_F(TunerboxTest, AFailedStartIsRetriedThreeTimesUntilReleaseRearmsIt) {
  ASSERT_TRUE(m_card.Configure(CardVariant::gpioReceiver, 0, {}));  // no GPIO settings: never ready
  OpenDialog();
  tunerbox().readConfig(m_key);
  EXPECT_EQ(tunerbox().startMsgLoop(m_window.Handle()), 0);
  // The first attempt and three retries 750 ms apart, then no more.
  EXPECT_TRUE(pumpUntil([&] { return notInitialisedCount(m_window) == 4; }, 15000)) << notInitialisedCount(m_window);
  pumpFor(1500);
  EXPECT_EQ(notInitialisedCount(m_window), 4);
  tunerbox().release();
  EXPECT_EQ(tunerbox().startMsgLoop(m_window.Handle()), 0);
  EXPECT_TRUE(pumpUntil([&] { return notInitialisedCount(m_window) == 6; }, 8000)) << notInitialisedCount(m_window);
}

TEST_F(TunerboxTest, ACardThatAppearsIsTakenUpByTheRetry) {
  Gpio(0xFF00, 0);
  ASSERT_TRUE(m_card.Configure(CardVariant::noCard, 0, {}));
  tunerbox().readConfig(m_key);
  EXPECT_EQ(tunerbox().startMsgLoop(m_window.Handle()), 0);
  ASSERT_TRUE(m_card.Configure(CardVariant::gpioReceiver, 0, {}));
  ASSERT_TRUE(pumpUntil([&] { return m_window.sawCode(abi::MainCode::kDeviceReady); }, 3000));
}

}  // namespace
}  // namespace vexa::test
