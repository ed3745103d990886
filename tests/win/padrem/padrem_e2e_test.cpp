// The mouse-pad remote from end to end: padrem.dll in a "devices" folder
// beside the test program, selected and started by the device host, its
// commands in the host's registry key, and a pad played on the far end of
// COM5 <-> COM6 whose presses start commands in the main window; or the
// vendor driver's stand-in, registered where its setup puts it, posting keys.
#include <filesystem>
#include <string>

#include "main_window_host_test.h"
#include "support/win/plugin_exports.h"
#include "support/win/receiver_sim.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/winlib/module.h"
#include "vexa/winlib/reg_key.h"

namespace vexa::test {
namespace {

constexpr const char* kDeviceName = "Logitech OEM (AST, PADREM, IBM)";
constexpr unsigned kCommandTimeoutMs = 3000;
constexpr unsigned kNoCommandWaitMs = 600;

// As for the other plug-ins: one reference from the start, so that the DLL is
// never mapped while another thread starts or ends.
class CKeepPadremDllMapped : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(m_module.Load(win::programFolder() / L"devices" / L"padrem.dll")); }
  void TearDown() override { m_module.Close(); }

 private:
  win::CModule m_module;
};

[[maybe_unused]] const auto* const kKeepPadremDllMapped = ::testing::AddGlobalTestEnvironment(new CKeepPadremDllMapped);

class PadremEndToEndTest : public MainWindowHostTest {
 protected:
  void TearDown() override {
    CloseWindow();
    pad.reset();
    DeviceHostTest::TearDown();
  }
  // The plug-in's key as the host hands it over: the port and two learned buttons.
  void writeSettings() {
    win::CRegKey key;
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, registryKey + L"\\padrem.dll", KEY_ALL_ACCESS));
    key.SetString(L"COM Port", L"COM5");
    win::CRegKey pad;
    ASSERT_TRUE(pad.Create(key.Get(), L"Commands\\Pad", KEY_ALL_ACCESS));
    pad.SetDword(L"Play", 5);
    pad.SetDword(L"Stop", 6);
  }
  bool press(const std::string& bytes, unsigned timeoutMs = kCommandTimeoutMs) {
    pumpFor(200);  // more than the pad's quiet time between packets
    const size_t before = started.size();
    if (!pad->Send(bytes)) return false;
    return pumpUntil([&] { return started.size() > before; }, timeoutMs);
  }

  std::unique_ptr<CReceiverSim> pad;
};

TEST_F(PadremEndToEndTest, PadPressesStartTheirCommandsThroughTheHost) {
  writeSettings();
  pad = std::make_unique<CReceiverSim>(Answer::kSilent);
  ASSERT_TRUE(pad->Start("\\\\.\\COM6"));
  device::CDevice& host = makeHost();
  window.AttachDevice(&host);
  ASSERT_TRUE(host.SelectDevice(kDeviceName, window.Handle()));
  window.RefreshDevicePage();
  ASSERT_TRUE(host.StartSession(true));
  ASSERT_TRUE(pumpUntil([&] { return window.IsDeviceReady(); }));

  ASSERT_TRUE(press("\xA0\x06\xAA"));
  EXPECT_FALSE(press("\x05\x05\xAA", kNoCommandWaitMs)) << "bytes outside a packet started a command";
  ASSERT_TRUE(press("\xA0\x05\xAA"));
  ASSERT_EQ(started.size(), 2u);
  EXPECT_EQ(started[0].remote, "Pad");
  EXPECT_EQ(started[0].command, "Stop");
  EXPECT_EQ(started[1].command, "Play");
  EXPECT_EQ(started[1].repeat, 0);
}

class PadremDriverEndToEndTest : public PadremEndToEndTest {
 protected:
  void SetUp() override {
    PadremEndToEndTest::SetUp();
    const std::filesystem::path driver = std::filesystem::absolute(besideTests(PADREM_DRIVER_FROM_TESTS));
    ASSERT_TRUE(m_driver.Load(driver)) << driver;
    m_simulateKey = m_driver.GetProc<SimulateKeyFn>("SimulateKey");
    ASSERT_NE(m_simulateKey, nullptr);
    const std::string folder = driver.parent_path().string();
    ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, kSetupKey, "LRemote", REG_SZ, folder.c_str(),
                              static_cast<DWORD>(folder.size() + 1)),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    PadremEndToEndTest::TearDown();
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSetupKey, "LRemote");
  }
  using SimulateKeyFn = BOOL(WINAPI*)(DWORD code, BOOL down);
  static constexpr const char* kSetupKey = "SOFTWARE\\Logitech\\LogiMedia\\CurrentVersion";
  win::CModule m_driver;
  SimulateKeyFn m_simulateKey = nullptr;
};

TEST_F(PadremDriverEndToEndTest, DriverKeysStartTheirCommandsAndAHeldKeyRepeats) {
  writeSettings();
  device::CDevice& host = makeHost();
  window.AttachDevice(&host);
  ASSERT_TRUE(host.SelectDevice(kDeviceName, window.Handle()));
  window.RefreshDevicePage();
  ASSERT_TRUE(host.StartSession(true));
  ASSERT_TRUE(pumpUntil([&] { return window.IsDeviceReady(); }));

  ASSERT_TRUE(m_simulateKey(6, TRUE));
  ASSERT_TRUE(m_simulateKey(6, FALSE));
  ASSERT_TRUE(pumpUntil([&] { return !started.empty(); }, kCommandTimeoutMs));
  pumpFor(400);  // a key that went up does not repeat, and is past the repeat timeout
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].remote + "/" + started[0].command, "Pad/Stop");

  ASSERT_TRUE(m_simulateKey(5, TRUE));
  ASSERT_TRUE(pumpUntil([&] { return started.size() >= 4; }, kCommandTimeoutMs));
  ASSERT_TRUE(m_simulateKey(5, FALSE));
  for (size_t i = 1; i < 4; ++i) {
    EXPECT_EQ(started[i].remote + "/" + started[i].command, "Pad/Play");
    EXPECT_EQ(started[i].repeat, static_cast<int>(i - 1));
  }
}

}  // namespace
}  // namespace vexa::test
