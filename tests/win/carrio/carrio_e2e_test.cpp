// The carrier-line receiver from end to end, on its test build: carrio.dll in a
// "devices" folder beside the test program, the device host and the main
// window, and frames of common protocols (and of lircd, a real encoder)
// scripted on the far end of a pseudo-terminal pair. Buttons are learned by
// timing through the Learn window's own controls, then pressed.
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>

#include "far_end.h"

#include <commctrl.h>
#include "main_window_host_test.h"
#include "vexa/device/win/learn_dialog.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/winlib/module.h"
#include "vexa/winlib/unicode.h"

namespace vexa::test {
namespace {

constexpr const char* kModel = "Generic CARRIO Line Device";
constexpr const char* kRemote = "Remote";
constexpr unsigned kCommandTimeoutMs = 4000;

// See the serial end-to-end test: one reference to the DLL from the start.
class CKeepCarrioDllMapped : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(m_module.Load(win::programFolder() / L"devices" / L"carrio.dll")); }
  void TearDown() override { m_module.Close(); }

 private:
  win::CModule m_module;
};

[[maybe_unused]] const auto* const kKeepCarrioDllMapped = ::testing::AddGlobalTestEnvironment(new CKeepCarrioDllMapped);


class CarrioHostTest : public MainWindowHostTest {
 protected:
  // The samples of one press of a button; `index` counts its presses from 0.
  using PressSource = std::function<std::vector<uint32_t>(int index)>;

  void TearDown() override {
    if (HWND learn = learnWindow()) DestroyWindow(learn);
    CloseWindow();
    lineEnd.reset();
    DeviceHostTest::TearDown();
  }

  device::CDevice& startHost() {
    writeFile(settingsFile("carrio"),
              "[Device Config]\r\nDeviceName=" + std::string(kModel) + "\r\nCOM Port=COM5\r\n");
    device::CDevice& host = makeHost();
    window.AttachDevice(&host);
    EXPECT_TRUE(host.SelectDevice(kModel, window.Handle()));
    window.RefreshDevicePage();
    lineEnd = std::make_unique<CLineFarEnd>();
    EXPECT_TRUE(lineEnd->IsOpen());
    EXPECT_TRUE(host.StartSession(true)) << "init result " << host.LastInitResult();
    EXPECT_TRUE(pumpUntil([&] { return host.IsRunning() && window.IsDeviceReady(); }));
    return host;
  }

  static HWND learnWindow() { return FindWindowW(nullptr, L"Learn"); }
  static HWND learnControl(UINT id) { return GetDlgItem(learnWindow(), static_cast<int>(id)); }
  static uint64_t lengthUs(const std::vector<uint32_t>& samples) {
    uint64_t total = 0;
    for (uint32_t s : samples) total += s & 0x7FFFFFFFu;
    return total;
  }

  // Plays one press, pumping until the line has had time to replay it.
  bool play(const std::vector<uint32_t>& samples) {
    if (!lineEnd->Write(CLineFarEnd::Script(samples))) return false;
    pumpFor(static_cast<unsigned>(600 + lengthUs(samples) / 1000 + 150));
    return true;
  }

  // "New Remote Button" on the remote, the names typed, the held button and then
  // short presses until OK is offered, then OK.
  bool learnButton(device::CDevice& host, const char* name, const PressSource& presses) {
    const HTREEITEM remote = remoteItem(host);
    host.Page()->SetMenuTracker([](HMENU, POINT) { return UINT{device::CDevicePage::kCmdNewButton}; });
    host.Page()->RunContextMenu(remote, {0, 0});
    host.Page()->SetMenuTracker({});
    if (!pumpUntil([] { return learnWindow() != nullptr; }, kCommandTimeoutMs))
      return ADD_FAILURE() << "no Learn window", false;
    SetWindowTextW(learnControl(device::CLearnDialog::kRemoteBox), win::toWide(kRemote).c_str());
    SetWindowTextW(learnControl(device::CLearnDialog::kButtonBox), win::toWide(name).c_str());
    for (int press = 0; press < 8 && !IsWindowEnabled(learnControl(IDOK)); ++press)
      if (!play(presses(press))) return false;
    if (!IsWindowEnabled(learnControl(IDOK))) return ADD_FAILURE() << "the Learn window never offered OK", false;
    SendMessageW(learnControl(IDOK), BM_CLICK, 0, 0);
    return pumpUntil([] { return learnWindow() == nullptr; }, kCommandTimeoutMs);
  }

  HTREEITEM remoteItem(device::CDevice& host) {
    const HWND tree = host.Page()->Control(device::CDevicePage::kTree);
    if (!TreeView_GetRoot(tree)) {
      host.Page()->SetMenuTracker([](HMENU, POINT) { return UINT{device::CDevicePage::kCmdNewRemote}; });
      host.Page()->RunContextMenu(nullptr, {0, 0});
      host.Page()->SetMenuTracker({});
    }
    return TreeView_GetRoot(tree);
  }

  // A short press, and whether the main window started the command of that name.
  bool press(const std::vector<uint32_t>& samples, const char* expected) {
    const size_t before = started.size();
    if (!lineEnd->Write(CLineFarEnd::Script(samples))) return false;
    if (!pumpUntil([&] { return started.size() > before; }, kCommandTimeoutMs))
      return ADD_FAILURE() << expected << " was not recognised", false;
    pumpFor(150);  // the press is over before the next
    if (started[before].command == expected && started[before].remote == kRemote) return true;
    ADD_FAILURE() << "started " << started[before].remote << "/" << started[before].command << " for " << expected;
    return false;
  }

  std::unique_ptr<CLineFarEnd> lineEnd;
};

struct ProtocolCase {
  const char* label;
  IrProtocol protocol;
  int heldFrames;  // enough for a capture of the held button
};

class CarrioEndToEndTest : public CarrioHostTest, public ::testing::WithParamInterface<ProtocolCase> {
 protected:
  PressSource pressesOf(const IrButton& button, int heldFrames) {
    return [this, button, heldFrames](int index) {
      return CLineFarEnd::Samples(gen.press(button, index < 2 ? heldFrames : 2, 0));
    };
  }
  std::vector<uint32_t> shortPress(const IrButton& button) { return CLineFarEnd::Samples(gen.press(button, 1, 0)); }

  CSignalGenerator gen{7, 10};
};

TEST_P(CarrioEndToEndTest, ButtonsLearnedByTimingRunTheirCommands) {
  const ProtocolCase& c = GetParam();
  device::CDevice& host = startHost();
  ASSERT_TRUE(host.IsRunning());

  const IrButton power{c.protocol, 1, 0x0C};
  const IrButton mute{c.protocol, 1, 0x0D};
  ASSERT_TRUE(learnButton(host, "Power", pressesOf(power, c.heldFrames)));
  ASSERT_TRUE(learnButton(host, "Mute", pressesOf(mute, c.heldFrames)));
  EXPECT_TRUE(started.empty()) << "a frame sent to the Learn window started a command";

  // Bi-phase codes toggle a bit on every press: each button is pressed three
  // times, so that both of its forms come round again.
  EXPECT_TRUE(press(shortPress(mute), "Mute"));
  EXPECT_TRUE(press(shortPress(power), "Power"));
  EXPECT_TRUE(press(shortPress(mute), "Mute"));
  pumpFor(2500);  // a pause of two seconds loses nothing and flips nothing wrongly
  EXPECT_TRUE(press(shortPress(power), "Power"));
  EXPECT_TRUE(press(shortPress(mute), "Mute"));
  EXPECT_TRUE(press(shortPress(power), "Power"));
}

INSTANTIATE_TEST_SUITE_P(Protocols, CarrioEndToEndTest,
                         ::testing::Values(ProtocolCase{"Nec", IrProtocol::Nec, 35},
                                           ProtocolCase{"Rc5", IrProtocol::Rc5, 10},
                                           ProtocolCase{"Rc6", IrProtocol::Rc6, 10},
                                           ProtocolCase{"Sirc", IrProtocol::Sirc, 10}),
                         [](const ::testing::TestParamInfo<ProtocolCase>& info) { return std::string(info.param.label); });

// Presses of lircd's RC5 remote "vcr" as its "file" driver transmitted them
// (tests/data/carrio/capture-lircd-presses.sh made the capture; a native test
// checks that lircd still sends the same): exact durations, frames that end in
// a space, and the toggle bit lircd flips on every press.
class CLircdCapture {
 public:
  explicit CLircdCapture(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    std::vector<uint32_t>* press = nullptr;
    while (std::getline(in, line)) {
      std::istringstream words(line);
      std::string kind, button;
      uint32_t value = 0;
      if (!(words >> kind)) continue;
      if (kind == "press" && words >> button) {
        press = &m_presses[button].emplace_back();
      } else if (press && (kind == "pulse" || kind == "space") && words >> value) {
        press->push_back((kind == "pulse" ? 0x80000000u : 0u) | value);
      }
    }
  }
  // Every capture of the button in order: learning takes them first, pressing the rest.
  const std::vector<uint32_t>& next(const std::string& button) {
    static const std::vector<uint32_t> none;
    auto& list = m_presses[button];
    const size_t at = m_used[button]++;
    return at < list.size() ? list[at] : none;
  }
  size_t count(const std::string& button) { return m_presses[button].size(); }

 private:
  std::map<std::string, std::vector<std::vector<uint32_t>>> m_presses;
  std::map<std::string, size_t> m_used;
};

TEST_F(CarrioHostTest, ARealEncodersBiPhaseFramesAreLearnedAndRecognised) {
  CLircdCapture capture(win::programFolder() / L"lircd-vcr-presses.txt");
  ASSERT_EQ(capture.count("one"), 11u);
  ASSERT_EQ(capture.count("two"), 11u);
  device::CDevice& host = startHost();
  ASSERT_TRUE(host.IsRunning());
  // Learning takes the captures it needs; the presses are the ones it left,
  // both toggle forms of each button.
  ASSERT_TRUE(learnButton(host, "One", [&](int) { return capture.next("one"); }));
  ASSERT_TRUE(learnButton(host, "Two", [&](int) { return capture.next("two"); }));
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(press(capture.next("one"), "One")) << i;
    EXPECT_TRUE(press(capture.next("two"), "Two")) << i;
  }
}

}  // namespace
}  // namespace vexa::test
