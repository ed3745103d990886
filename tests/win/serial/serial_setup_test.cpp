// The "Device Settings" sheet of OnSetup, driven from a timer on this thread
// while the sheet's own modal loop runs: OK keeps what the pages hold, Cancel
// keeps what was there.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <functional>

#include "plugins/serial/win/resource.h"
#include "support/temp_folder.h"
#include "support/win/receiver_sim.h"
#include "tests/win/serial/plugin_fixture.h"

namespace vexa::test {
namespace {

constexpr UINT kTickMs = 50;
constexpr int kMostTicks = 200;  // ten seconds for the sheet to appear

// The one driver a thread timer can reach; set only while OnSetup runs.
struct SheetDriver {
  std::function<void(HWND sheet)> act;
  int ticks = 0;
  bool acted = false;
  bool sawOtherWindow = false;
};
SheetDriver* g_driver = nullptr;

void CALLBACK onTick(HWND, UINT, UINT_PTR timer, DWORD) {
  SheetDriver& d = *g_driver;
  if (d.acted) return;
  if (FindWindowA(nullptr, "Serial receiver plugin")) d.sawOtherWindow = true;
  const HWND sheet = FindWindowA(nullptr, "Device Settings");
  if (!sheet && ++d.ticks < kMostTicks) return;
  d.acted = true;
  KillTimer(nullptr, timer);
  if (sheet) d.act(sheet);
}

// Runs OnSetup with `act` applied to the sheet once it is up; OnSetup's result.
int runSetup(abi::DeviceRecord& device, std::function<void(HWND sheet)> act, SheetDriver& driver) {
  driver.act = std::move(act);
  g_driver = &driver;
  SetTimer(nullptr, 0, kTickMs, &onTick);
  const int result = SerialPlugin::Get().onSetup(&device, nullptr);
  g_driver = nullptr;
  return result;
}

HWND pageOf(HWND sheet, int index) {
  PropSheet_SetCurSel(sheet, nullptr, index);
  return PropSheet_GetCurrentPageHwnd(sheet);
}

class SerialSetup : public ::testing::Test {
 protected:
  void SetUp() override {
    // With the port open the port page asks no host window for it.
    m_device = deviceRecord("Generic Serial IR Receiver");
    loadSettings(m_device, m_folder.path() / "serial.vdp", "[DeviceSettings]\r\nInit=IR\r\nResponse=OK\r\n");
    ASSERT_TRUE(m_receiver.Start());
    ASSERT_EQ(SerialPlugin::Get().onInit(&m_device, "COM5", ""), abi::kInitReady);
  }
  void TearDown() override { SerialPlugin::Get().onRelease(); }
  std::string savedCodeLength() {
    const auto out = m_folder.path() / "out.vdp";
    SerialPlugin::Get().onWriteConfig(nullptr, out.string().c_str());
    char text[32];
    GetPrivateProfileStringA("DeviceSettings", "IRCodeLength", "", text, sizeof text, out.string().c_str());
    return text;
  }

  CTempFolder m_folder;
  CReceiverSim m_receiver{Answer::kIrman};
  abi::DeviceRecord m_device{};
  SheetDriver m_driver;
};

TEST_F(SerialSetup, OkKeepsTheDevicePagesValuesAndReportsThem) {
  const int result = runSetup(m_device, [](HWND sheet) {
    const HWND page = pageOf(sheet, 1);
    SetDlgItemInt(page, IDC_CODELENGTH, 12, FALSE);
    SetDlgItemInt(page, IDC_LEARNSAMPLES, 4, FALSE);
    PropSheet_PressButton(sheet, PSBTN_OK);
  }, m_driver);
  EXPECT_TRUE(m_driver.acted);
  EXPECT_FALSE(m_driver.sawOtherWindow);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(m_device.codeLength, 12);
  EXPECT_EQ(m_device.learnSamples, 4);
  EXPECT_EQ(savedCodeLength(), "12");
}

TEST_F(SerialSetup, CancelKeepsWhatWasThere) {
  const int result = runSetup(m_device, [](HWND sheet) {
    SetDlgItemInt(pageOf(sheet, 1), IDC_CODELENGTH, 40, FALSE);
    PropSheet_PressButton(sheet, PSBTN_CANCEL);
  }, m_driver);
  EXPECT_TRUE(m_driver.acted);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(m_device.codeLength, 6);
  EXPECT_EQ(savedCodeLength(), "6");
}

TEST_F(SerialSetup, TheAdvancedPagesUntickedPeriodIsZero) {
  const int result = runSetup(m_device, [](HWND sheet) {
    const HWND page = pageOf(sheet, 2);
    SendMessageA(GetDlgItem(page, IDC_REINIT_CHECK), BM_CLICK, 0, 0);  // ticked
    SetDlgItemInt(page, IDC_REINIT, 30, FALSE);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_REINIT)));
    SendMessageA(GetDlgItem(page, IDC_REINIT_CHECK), BM_CLICK, 0, 0);  // unticked again
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_REINIT)));
    PropSheet_PressButton(sheet, PSBTN_OK);
  }, m_driver);
  EXPECT_EQ(result, 1);
  const auto out = m_folder.path() / "out.vdp";
  SerialPlugin::Get().onWriteConfig(nullptr, out.string().c_str());
  EXPECT_EQ(GetPrivateProfileIntA("AdancedSettings", "ReInit", -1, out.string().c_str()), 0);
}

}  // namespace
}  // namespace vexa::test
