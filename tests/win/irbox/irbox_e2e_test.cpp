// The Irbox receiver from end to end: irbox.dll in a "devices" folder beside
// the test program, the device host and the main window, and a receiver played
// on the far end of a pseudo-terminal pair (COM5 <-> COM6). Buttons are learned
// through the Learn window's own controls, then pressed.
#include <cstdio>
#include <string>

#include "main_window_host_test.h"
#include "support/win/receiver_sim.h"
#include "vexa/device/win/learn_dialog.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/winlib/module.h"
#include "vexa/winlib/tree_view.h"
#include "vexa/winlib/unicode.h"

namespace vexa::test {
namespace {

constexpr const char* kModel = "IRBOX";
constexpr const char* kRemote = "Living Room";
constexpr const char* kPluginPort = "COM5";
constexpr const char* kReceiverPort = "\\\\.\\COM6";
constexpr unsigned kCommandTimeoutMs = 3000;
constexpr unsigned kNoCommandWaitMs = 600;
constexpr unsigned kPressGapMs = 150;
const std::string kPower("\x52\x40\x10\x00\x01\x02", 6);
const std::string kMute("\x52\x41\x11\x01\x03\x04", 6);

// See the serial end-to-end test: Wine can crash when a DLL with TLS is mapped
// while another thread starts or ends, so one reference is kept from the start.
class CKeepIrboxDllMapped : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(m_module.Load(win::programFolder() / L"devices" / L"irbox.dll")); }
  void TearDown() override { m_module.Close(); }

 private:
  win::CModule m_module;
};

[[maybe_unused]] const auto* const kKeepIrboxDllMapped = ::testing::AddGlobalTestEnvironment(new CKeepIrboxDllMapped);

class IrboxEndToEndTest : public MainWindowHostTest {
 protected:
  void TearDown() override {
    if (HWND learn = learnWindow()) DestroyWindow(learn);
    CloseWindow();
    receiver.reset();
    DeviceHostTest::TearDown();
  }

  // irbox.vdp as the host keeps it before anything was learned: the model and the port.
  void writeSettings() {
    writeFile(settingsFile("irbox"),
              "[Device Config]\r\nDeviceName=" + std::string(kModel) + "\r\nCOM Port=" + kPluginPort + "\r\n");
  }
  bool startReceiver(Answer answer) {
    receiver.reset();  // the far end is opened exclusively
    receiver = std::make_unique<CReceiverSim>(answer);
    return receiver->Start(kReceiverPort);
  }
  device::CDevice& startHost() {
    device::CDevice& host = makeHost();
    window.AttachDevice(&host);
    EXPECT_TRUE(host.SelectDevice(kModel, window.Handle()));
    window.RefreshDevicePage();
    return host;
  }

  static HWND learnWindow() { return FindWindowW(nullptr, L"Learn"); }
  static HWND learnControl(UINT id) { return GetDlgItem(learnWindow(), static_cast<int>(id)); }
  HWND pageTree(device::CDevice& host) {
    return reinterpret_cast<HWND>(SendMessageW(host.PageHandle(), abi::kVexaMessage, abi::PageCode::kCodeTree, 0));
  }

  void chooseFromMenu(device::CDevice& host, HTREEITEM item, UINT command) {
    host.Page()->SetMenuTracker([command](HMENU, POINT) { return command; });
    host.Page()->RunContextMenu(item, {0, 0});
    host.Page()->SetMenuTracker({});
  }

  // "New Remote Button" on the page's first remote (made first when there is
  // none), the names typed, the button pressed until OK is offered, then OK.
  bool learnButton(device::CDevice& host, const char* button, const std::string& code) {
    const HWND tree = pageTree(host);
    if (!TreeView_GetRoot(tree)) chooseFromMenu(host, nullptr, device::CDevicePage::kCmdNewRemote);
    const HTREEITEM remote = TreeView_GetRoot(tree);
    if (!remote) return ADD_FAILURE() << "no remote in the page's tree", false;
    chooseFromMenu(host, remote, device::CDevicePage::kCmdNewButton);
    if (!pumpUntil([] { return learnWindow() != nullptr; }, kCommandTimeoutMs))
      return ADD_FAILURE() << "no Learn window", false;
    SetWindowTextW(learnControl(device::CLearnDialog::kRemoteBox), win::toWide(kRemote).c_str());
    SetWindowTextW(learnControl(device::CLearnDialog::kButtonBox), win::toWide(button).c_str());
    for (int sent = 0; sent < 5 && !IsWindowEnabled(learnControl(IDOK)); ++sent) {
      pumpFor(kPressGapMs);
      if (!receiver->Send(code)) return false;
      pumpUntil([] { return IsWindowEnabled(learnControl(IDOK)) != FALSE; }, 400);
    }
    if (!IsWindowEnabled(learnControl(IDOK))) return ADD_FAILURE() << "the Learn window never offered OK", false;
    SendMessageW(learnControl(IDOK), BM_CLICK, 0, 0);
    return pumpUntil([] { return learnWindow() == nullptr; }, kCommandTimeoutMs);
  }

  // Sends a code and waits until the main window started one more command (or not).
  bool press(const std::string& code, unsigned timeoutMs = kCommandTimeoutMs) {
    pumpFor(kPressGapMs);
    const size_t before = started.size();
    if (!receiver->Send(code)) return false;
    return pumpUntil([&] { return started.size() > before; }, timeoutMs);
  }

  std::unique_ptr<CReceiverSim> receiver;
};

TEST_F(IrboxEndToEndTest, ButtonsLearnedInTheLearnWindowRunTheirCommandsAndNoiseRunsNothing) {
  writeSettings();
  ASSERT_TRUE(startReceiver(Answer::kIrman));
  device::CDevice& host = startHost();
  ASSERT_TRUE(host.StartSession(true)) << "init result " << host.LastInitResult();
  ASSERT_TRUE(pumpUntil([&] { return host.IsRunning() && window.IsDeviceReady(); }));
  EXPECT_EQ(receiver->Received(), "IR");

  ASSERT_TRUE(learnButton(host, "Power", kPower));
  ASSERT_TRUE(learnButton(host, "Mute", kMute));
  EXPECT_TRUE(started.empty()) << "a code sent to the Learn window started a command";

  ASSERT_TRUE(press(kMute));
  ASSERT_TRUE(press(kPower));
  EXPECT_FALSE(press("\x01\x02\x03", kNoCommandWaitMs)) << "bytes between presses started a command";
  ASSERT_TRUE(press(kMute));
  ASSERT_EQ(started.size(), 3u);
  const char* expected[] = {"Mute", "Power", "Mute"};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(started[i].remote, kRemote);
    EXPECT_EQ(started[i].command, expected[i]);
    EXPECT_EQ(started[i].repeat, 0);
  }
  EXPECT_EQ(window.StatusText(), L"Living Room: Mute");
}

struct FailureCase {
  const char* label;
  Answer answer;
  int result;
  const char* message;
};

class IrboxInitFailureTest : public IrboxEndToEndTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(IrboxInitFailureTest, IsReportedAndTheNextTryWorks) {
  const FailureCase& c = GetParam();
  writeSettings();
  ASSERT_TRUE(startReceiver(c.answer));
  device::CDevice& host = startHost();
  EXPECT_FALSE(host.StartSession(true));
  EXPECT_EQ(host.LastInitResult(), c.result);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], win::toWide(c.message));
  EXPECT_FALSE(host.HasMonitorThread());
  EXPECT_FALSE(window.IsDeviceReady());

  // The plug-in closed the port again: with a receiver that answers, the next start works.
  ASSERT_TRUE(startReceiver(Answer::kIrman));
  ASSERT_TRUE(host.RestartDevice()) << "init result " << host.LastInitResult();
  EXPECT_TRUE(pumpUntil([&] { return host.IsRunning() && window.IsDeviceReady(); }));
}

INSTANTIATE_TEST_SUITE_P(Answers, IrboxInitFailureTest,
                         ::testing::Values(FailureCase{"Silent", Answer::kSilent, 2,
                                                       "Initialization failed.\nNo response from device."},
                                           FailureCase{"Wrong", Answer::kWrong, 3,
                                                       "Initialization failed.\nBad response from device."},
                                           FailureCase{"OkWithLineEnd", Answer::kOkLineEnd, 3,
                                                       "Initialization failed.\nBad response from device."}),
                         [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace vexa::test
