// The "IR Setup Wizard" of tunerbox.dll run against the simulated card: a
// helper thread plays the user and the card while this thread runs the wizard.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include "plugins/tunerbox/win/resource.h"
#include "support/win/pump.h"
#include "support/win/recording_window.h"
#include "tests/win/hwport/hwport_test_support.h"
#include "tests/win/tunerbox/tunerbox_exports.h"
#include "vexa/device/plugin_abi.h"

namespace vexa::test {
namespace {

using hwsim::CardVariant;

constexpr int kNextButton = 0x3024;
constexpr int kFinishButton = 0x3025;
constexpr const char* kTestKey = "Software\\Marlix\\Vexa\\tunerbox-wizard-test.dll";

class CDriverEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    CServiceRemoval::Remove();
    library = std::make_unique<CHwportLibrary>(ProgramFolder());
  }
  void TearDown() override {
    library.reset();
    CServiceRemoval::Remove();
  }
  std::unique_ptr<CHwportLibrary> library;
};
auto* const kEnvironment =
    static_cast<CDriverEnvironment*>(::testing::AddGlobalTestEnvironment(new CDriverEnvironment));

BOOL CALLBACK keepWizard(HWND window, LPARAM out) {
  char title[64] = {};
  GetWindowTextA(window, title, sizeof title);
  if (std::string(title).rfind("IR Setup", 0) != 0 || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(out) = window;
  return FALSE;
}

// The wizard's window, whatever page title it shows.
HWND findWizard() {
  HWND found = nullptr;
  EnumWindows(&keepWizard, reinterpret_cast<LPARAM>(&found));
  return found;
}

bool waitFor(const std::function<bool()>& done, int ms) {
  for (int waited = 0; waited < ms; waited += 20) {
    if (done()) return true;
    Sleep(20);
  }
  return done();
}

std::string pageText(HWND wizard, int id) {
  char text[512] = {};
  GetDlgItemTextA(PropSheet_GetCurrentPageHwnd(wizard), id, text, sizeof text);
  return text;
}

bool enabled(HWND wizard, int button) { return IsWindowEnabled(GetDlgItem(wizard, button)) != FALSE; }

std::string readFile(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class TunerboxWizardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(tunerbox().readConfig, nullptr);
    ASSERT_TRUE(m_card.Open());
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr),
              ERROR_SUCCESS);
    ASSERT_TRUE(m_window.Create());
    ASSERT_TRUE(m_card.Configure(CardVariant::gpioReceiver, 0x40, {}));
    abi::Point at{0, 0};
    m_dialog = static_cast<HWND>(tunerbox().createCfgDlg(&at, m_window.Handle()));
    ASSERT_NE(m_dialog, nullptr);
    tunerbox().readConfig(m_key);
    tunerbox().startMsgLoop(m_window.Handle());  // not configured yet: fails, as on a new card
    DeleteFileW(Log().c_str());
  }
  void TearDown() override {
    tunerbox().endMsgLoop();
    tunerbox().release();
    DestroyWindow(m_dialog);
    RegCloseKey(m_key);
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
  }
  static std::wstring Log() { return ProgramFolder() + L"\\tunerbox.log"; }

  // Clicks "Start Wizard" and lets `user` drive the wizard until it closes.
  void RunWizard(const std::function<void(HWND wizard)>& user) {
    std::atomic<bool> done{false};
    std::thread helper([&] {
      HWND wizard = nullptr;
      if (waitFor([&] { return (wizard = findWizard()) != nullptr; }, 10000)) user(wizard);
      if (wizard && IsWindow(wizard)) PostMessageA(wizard, WM_COMMAND, IDCANCEL, 0);
      done = true;
    });
    PostMessageA(m_dialog, WM_COMMAND, MAKEWPARAM(IDC_TUNERBOX_WIZARD, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(m_dialog, IDC_TUNERBOX_WIZARD)));
    pumpUntil([&] { return done.load() && !findWizard(); }, 60000);
    helper.join();
    pumpFor(200);
  }
  // The TV program sets up the card's outputs as it starts.
  void TvProgramSetsOutputs(uint32_t outputs) {
    CHwportLibrary& hw = *kEnvironment->library;
    ASSERT_NE(hw.MemMap(hwsim::kSimWindowBase, 4096), 0u);
    hw.MemWrite(0x118, outputs);
    hw.MemUnmap(hwsim::kSimWindowBase, 4096);
  }
  static void Next(HWND wizard) {
    ASSERT_TRUE(waitFor([&] { return enabled(wizard, kNextButton); }, 10000)) << "Next stays disabled";
    const HWND page = PropSheet_GetCurrentPageHwnd(wizard);
    PropSheet_PressButton(wizard, PSBTN_NEXT);
    ASSERT_TRUE(waitFor([&] { return PropSheet_GetCurrentPageHwnd(wizard) != page; }, 20000));
  }

  HKEY m_key = nullptr;
  HWND m_dialog = nullptr;
  CRecordingWindow m_window;
  CSimulatedCard m_card;
};

TEST_F(TunerboxWizardTest, AScriptedSessionEndsWithMasksThatRecogniseThePresses) {
  HKEY remote = nullptr;
  RegCreateKeyExA(m_key, "Commands\\TV", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &remote, nullptr);
  const DWORD power = 0x1200;
  RegSetValueExA(remote, "Power", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&power), sizeof power);
  RegCloseKey(remote);
  tunerbox().readConfig(m_key);
  std::string finalText;
  RunWizard([&](HWND wizard) {
    Next(wizard);  // the introduction
    TvProgramSetsOutputs(0xC00000);
    Next(wizard);
    // Idle, with noise on bit 20.
    ASSERT_TRUE(m_card.Configure(CardVariant::gpioReceiver, 0x40,
                                 {{0x40, 20}, {0x100040, 20}, {0x40, 20}, {0x100040, 20}, {0x40, 20},
                                  {0x100040, 20}, {0x40, 20}, {0x100040, 20}, {0x40, 20}, {0x100040, 20},
                                  {0x40, 20}, {0x100040, 20}, {0x40, 20}, {0x100040, 20}, {0x40, 20},
                                  {0x100040, 20}, {0x40, 20}, {0x100040, 20}, {0x40, 20}, {0x100040, 20},
                                  {0x40, 20}, {0x100040, 20}, {0x40, 20}, {0x100040, 20}, {0x40, 20},
                                  {0x100040, 20}, {0x40, 20}, {0x100040, 20}, {0x40, 20}, {0x100040, 20},
                                  {0x40, 20}, {0x100040, 20}, {0x40, 20}, {0x100040, 20}, {0x40, 20},
                                  {0x100040, 20}, {0x40, 20}, {0x100040, 20}, {0x40, 20}, {0x100040, 20},
                                  {0x40, 20}, {0x100040, 20}, {0x40, 20}, {0x100040, 20}, {0x40, 20},
                                  {0x100040, 20}, {0x40, 20}, {0x100040, 20}, {0x40, 20}, {0x100040, 20},
                                  {0x40, 20}, {0x100040, 20}, {0x40, 20}, {0x100040, 20}, {0x40, 20},
                                  {0x100040, 20}, {0x40, 20}, {0x100040, 20}, {0x40, 20}, {0x100040, 20}}));
    Next(wizard);
    // One button held and released.
    ASSERT_TRUE(m_card.Configure(CardVariant::gpioReceiver, 0x40, {{0x40, 300}, {0x1240, 700}}));
    Sleep(1400);
    Next(wizard);
    // All buttons, slowly.
    ASSERT_TRUE(m_card.Configure(CardVariant::gpioReceiver, 0x40,
                                 {{0x40, 300}, {0x1140, 400}, {0x40, 300}, {0x1240, 400}, {0x40, 300}, {0x1340, 400},
                                  {0x40, 300}, {0x2040, 400}}));
    Sleep(3200);
    Next(wizard);
    // The last page enables Finish once its analysis has run, a moment after it shows.
    const bool finishable = waitFor([&] { return enabled(wizard, kFinishButton); }, 10000);
    finalText = pageText(wizard, IDC_WIZ_TEXT1);
    if (finishable) PropSheet_PressButton(wizard, PSBTN_FINISH);
  });
  EXPECT_EQ(finalText.rfind("Congratulations!", 0), 0u) << finalText;
  const std::string log = readFile(Log());
  EXPECT_NE(log.find("GPIO_OUT_EN: c00000\nGPIO_INIT: "), std::string::npos) << log;
  EXPECT_NE(log.find("INIT_MASK: ffefffff\n"), std::string::npos) << log;
  EXPECT_NE(log.find("IR_MASK 3300\n"), std::string::npos) << log;
  EXPECT_TRUE(m_window.settingsChanged > 0);

  // The receiver runs again with what the wizard found.
  m_window.records.clear();
  ASSERT_TRUE(m_card.Configure(CardVariant::gpioReceiver, 0x40, {{0x40, 200}, {0x1240, 400}}));
  ASSERT_TRUE(pumpUntil([&] { return !m_window.records.empty(); }, 5000));
  EXPECT_EQ(m_window.records[0].command, "Power");
  tunerbox().writeConfig(m_key);
  DWORD mask = 0, size = sizeof mask;
  EXPECT_EQ(RegGetValueA(m_key, nullptr, "mask", RRF_RT_REG_DWORD, nullptr, &mask, &size), ERROR_SUCCESS);
  EXPECT_EQ(mask, 0x3300u);
}

TEST_F(TunerboxWizardTest, AnIncompatibleCardEndsOnTheFailureTextWithTheLogWritten) {
  std::string finalText;
  bool finishEnabled = true;
  RunWizard([&](HWND wizard) {
    Next(wizard);
    Next(wizard);
    Next(wizard);
    // Held and never released; then values that differ only where the press did not show.
    ASSERT_TRUE(m_card.Configure(CardVariant::gpioReceiver, 0x40, {{0x40, 300}, {0x1240, 60000}}));
    Sleep(800);
    Next(wizard);
    ASSERT_TRUE(m_card.Configure(CardVariant::gpioReceiver, 0x40,
                                 {{0x10040, 400}, {0x20040, 400}, {0x30040, 400}}));
    Sleep(1500);
    Next(wizard);
    finalText = pageText(wizard, IDC_WIZ_TEXT1);
    finishEnabled = enabled(wizard, kFinishButton);
  });
  EXPECT_EQ(finalText.rfind("The wizard could not successfully analyze", 0), 0u) << finalText;
  EXPECT_FALSE(finishEnabled);
  const std::string log = readFile(Log());
  // The idle value may be listed too: it changes nothing here.
  EXPECT_NE(log.find("BTNARRAY\n10040 20040 "), std::string::npos) << log;
  EXPECT_NE(log.find("\n\nANALYZE\n\nIR_MASK 30000\n"), std::string::npos) << log;
  EXPECT_EQ(m_window.settingsChanged, 0);
}

TEST_F(TunerboxWizardTest, CancelKeepsTheSettingsAndRestartsTheReceiver) {
  for (const auto& [name, value] : {std::pair<const char*, DWORD>{"out_en", 0}, {"mask", 0xFF00}, {"btnup_mask", 0},
                                    {"btndwn_mask", 0}, {"flags", 0}})
    RegSetValueExA(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  HKEY remote = nullptr;
  RegCreateKeyExA(m_key, "Commands\\TV", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &remote, nullptr);
  const DWORD power = 0x1200;
  RegSetValueExA(remote, "Power", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&power), sizeof power);
  RegCloseKey(remote);
  tunerbox().readConfig(m_key);
  ASSERT_EQ(tunerbox().startMsgLoop(m_window.Handle()), 1);
  RunWizard([&](HWND wizard) {
    Next(wizard);
    Next(wizard);
    PropSheet_PressButton(wizard, PSBTN_CANCEL);
  });
  EXPECT_EQ(m_window.settingsChanged, 0);
  ASSERT_TRUE(m_card.Configure(CardVariant::gpioReceiver, 0x40, {{0x40, 200}, {0x1240, 400}}));
  ASSERT_TRUE(pumpUntil([&] { return !m_window.records.empty(); }, 5000));
  EXPECT_EQ(m_window.records[0].command, "Power");
  tunerbox().writeConfig(m_key);
  DWORD mask = 0, size = sizeof mask;
  RegGetValueA(m_key, nullptr, "mask", RRF_RT_REG_DWORD, nullptr, &mask, &size);
  EXPECT_EQ(mask, 0xFF00u);
}

}  // namespace
}  // namespace vexa::test
