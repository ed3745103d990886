// What every plug-in shares, Windows half: what the delivery helpers hand the
// host's windows, and which COM ports the port list finds.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "plugins/kit/win/delivery.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/winlib/serial_port.h"

namespace vexa::test {
namespace {

// Takes every 0x7FFF code as the main window or the device page would,
// freeing what the contract says it owns.
class CHostWindow {
 public:
  CHostWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &CHostWindow::WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KitTestHostWindow";
    RegisterClassA(&wc);
    m_hwnd = CreateWindowA(wc.lpszClassName, "host", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~CHostWindow() { DestroyWindow(m_hwnd); }
  HWND Handle() const { return m_hwnd; }

  struct Received {
    unsigned code;
    std::string text;  // the record's or status text, or the sample in decimal
    int32_t repeat = -1;
    bool nullText = false;
  };
  std::vector<Received> received;
  LRESULT answer = 1;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<CHostWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self || msg != abi::kVexaMessage) return DefWindowProcA(hwnd, msg, wp, lp);
    Received r{static_cast<unsigned>(wp), {}};
    if (wp == abi::MainCode::kCommand) {
      std::unique_ptr<abi::CommandRecord> record(reinterpret_cast<abi::CommandRecord*>(lp));
      r.text = std::string(record->remote) + "/" + record->command;
      r.repeat = record->repeatCount;
    } else if (wp == abi::PageCode::kTimingSample) {
      r.text = std::to_string(static_cast<uint32_t>(lp));
    } else if (wp >= abi::MainCode::kTemporaryStatus) {
      std::unique_ptr<char[]> text(reinterpret_cast<char*>(lp));
      r.nullText = !text;
      if (text) r.text = text.get();
    }
    self->received.push_back(r);
    return self->answer;
  }
  HWND m_hwnd = nullptr;
};

TEST(KitDelivery, ACommandRecordCarriesItsNamesAndRepeatAndGoesToTheWindow) {
  CHostWindow host;
  EXPECT_TRUE(kit::deliverCommand(host.Handle(), "TV", "Power", 2));
  EXPECT_TRUE(kit::deliverCommand(host.Handle(), std::string(300, 'r'), "Mute", 0));
  ASSERT_EQ(host.received.size(), 2u);
  EXPECT_EQ(host.received[0].code, abi::MainCode::kCommand);
  EXPECT_EQ(host.received[0].text, "TV/Power");
  EXPECT_EQ(host.received[0].repeat, 2);
  EXPECT_EQ(host.received[1].text, std::string(255, 'r') + "/Mute");  // cut, and terminated
}

TEST(KitDelivery, ACommandWithoutAWindowIsNotSent) {
  EXPECT_FALSE(kit::deliverCommand(nullptr, "TV", "Power", 0));
  HWND gone;
  {
    CHostWindow host;
    gone = host.Handle();
  }
  EXPECT_FALSE(kit::deliverCommand(gone, "TV", "Power", 0));
}

TEST(KitDelivery, ATimingSampleTellsWhetherTheHostKeptIt) {
  CHostWindow host;
  const uint32_t pulse = abi::makeSample(true, 560);
  EXPECT_TRUE(kit::deliverTimingSample(host.Handle(), pulse));
  host.answer = 0;  // the host returned 0: the plug-in drops what it holds
  EXPECT_FALSE(kit::deliverTimingSample(host.Handle(), abi::makeSample(false, 1690)));
  ASSERT_EQ(host.received.size(), 2u);
  EXPECT_EQ(host.received[0].code, abi::PageCode::kTimingSample);
  EXPECT_EQ(host.received[0].text, std::to_string(pulse));
}

TEST(KitDelivery, StatusTextsAreCopiesAndAnEmptyOneIsNone) {
  CHostWindow host;
  std::string text = "Irbox ready";
  kit::sendStatus(host.Handle(), abi::MainCode::kDeviceReady, text);
  text.assign("changed");
  kit::sendStatus(host.Handle(), abi::MainCode::kTemporaryStatus, "");
  ASSERT_EQ(host.received.size(), 2u);
  EXPECT_EQ(host.received[0].code, abi::MainCode::kDeviceReady);
  EXPECT_EQ(host.received[0].text, "Irbox ready");
  EXPECT_TRUE(host.received[1].nullText);
}

// COM5 and COM6 are the pseudo-terminal pair this program runs with.
TEST(KitPorts, ListsThePortsThatExistAlsoWhenOneIsInUse) {
  win::CSerialPort busy;
  ASSERT_TRUE(busy.Open("COM6"));
  const std::vector<std::wstring> ports = win::ListPorts(L"COM", 9);
  auto listed = [&](const wchar_t* name) { return std::find(ports.begin(), ports.end(), name) != ports.end(); };
  EXPECT_TRUE(listed(L"COM5"));
  EXPECT_TRUE(listed(L"COM6")) << "a port in use is still a port";
  EXPECT_FALSE(listed(L"COM8"));
  for (const std::wstring& port : ports) EXPECT_EQ(port.rfind(L"COM", 0), 0u);
  // The list closed what it opened: the free port opens exclusively again.
  win::CSerialPort again;
  EXPECT_TRUE(again.Open("COM5"));
}

}  // namespace
}  // namespace vexa::test
