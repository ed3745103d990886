// The network remote client from end to end: lirc.dll in a "devices" folder
// beside the test program, selected by the device host of a real main window,
// its port pointing at the lircd that with-lircd.sh started; events lircd
// sends start the commands they name.
#include <winsock2.h>

#include <cstdlib>
#include <string>

#include "main_window_host_test.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/winlib/module.h"
#include "vexa/winlib/reg_key.h"
#include "vexa/winlib/socket.h"
#include "vexa/winlib/unicode.h"

namespace vexa::test {
namespace {

constexpr unsigned kCommandTimeoutMs = 5000;
constexpr unsigned kNewPressGapMs = 400;  // past the repeated-command timeout

// As in the other end-to-end tests: one reference from the start keeps Wine
// from mapping the DLL while threads come and go.
class CKeepLircDllMapped : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(m_module.Load(win::programFolder() / L"devices" / L"lirc.dll")); }
  void TearDown() override { m_module.Close(); }

 private:
  win::CModule m_module;
};

[[maybe_unused]] const auto* const kKeepLircDllMapped = ::testing::AddGlobalTestEnvironment(new CKeepLircDllMapped);

bool simulate(const std::string& event) {
  win::CSocket s;
  if (!s.Open()) return false;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<u_short>(std::atoi(std::getenv("VEXA_LIRCD_PORT") ? std::getenv("VEXA_LIRCD_PORT") : "0")));
  to.sin_addr.s_addr = inet_addr("127.0.0.1");
  if (connect(s.Get(), reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) return false;
  const std::string line = "SIMULATE " + event + "\n";
  send(s.Get(), line.data(), static_cast<int>(line.size()), 0);
  std::string reply;
  char buf[256];
  while (reply.find("END\n") == std::string::npos) {
    const int got = recv(s.Get(), buf, sizeof buf, 0);
    if (got <= 0) break;
    reply.append(buf, static_cast<size_t>(got));
  }
  return reply.find("SUCCESS") != std::string::npos;
}

class LircEndToEndTest : public MainWindowHostTest {
 protected:
  bool press(const std::string& event) {
    pumpFor(kNewPressGapMs);
    const size_t before = started.size();
    if (!simulate(event)) return false;
    return pumpUntil([&] { return started.size() > before; }, kCommandTimeoutMs);
  }
};

TEST_F(LircEndToEndTest, LircdEventsStartTheCommandsTheyName) {
  win::CRegKey settings;
  ASSERT_TRUE(settings.Create(HKEY_CURRENT_USER, registryKey + L"\\lirc.dll"));
  settings.SetDword(L"PORT", static_cast<DWORD>(std::atoi(std::getenv("VEXA_LIRCD_PORT"))));
  settings.SetDword(L"Reconnect", 0);
  device::CDevice& host = makeHost();
  window.AttachDevice(&host);
  ASSERT_TRUE(host.SelectDevice("WinLIRC", window.Handle()));
  window.RefreshDevicePage();
  ASSERT_TRUE(host.StartSession(true));
  ASSERT_TRUE(pumpUntil([&] { return window.IsDeviceReady() && window.StatusText() == L"Connected to server"; },
                        kCommandTimeoutMs))
      << win::toUtf8(window.StatusText());

  ASSERT_TRUE(press("0000000000000001 00 play tv"));
  ASSERT_TRUE(press("0000000000000002 00 ok box"));
  // A held button's repeat, counted by lircd in hexadecimal.
  ASSERT_TRUE(press("0000000000000003 0a vol+ tv"));
  ASSERT_EQ(started.size(), 3u);
  EXPECT_EQ(started[0].remote + "/" + started[0].command, "tv/play");
  EXPECT_EQ(started[0].repeat, 0);
  EXPECT_EQ(started[1].remote + "/" + started[1].command, "box/ok");
  EXPECT_EQ(started[2].remote + "/" + started[2].command, "tv/vol+");
  EXPECT_EQ(started[2].repeat, 10);
}

}  // namespace
}  // namespace vexa::test
