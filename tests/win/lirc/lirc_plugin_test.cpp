// lirc.dll against a real lircd (started by with-lircd.sh) and against a
// server this test plays itself for what lircd never sends.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "plugins/lirc/win/resource.h"
#include "support/win/plugin_exports.h"
#include "support/win/pump.h"
#include "support/win/recording_window.h"
#include "vexa/device/win/plugin_exports.h"
#include "vexa/winlib/reg_key.h"
#include "vexa/winlib/socket.h"

namespace vexa::test {
namespace {

struct Lirc {
  win::CModule module;
  abi::GetPlugInfoFn getPlugInfo = nullptr;
  device::FirstGenerationExports exports;
};

Lirc& lirc() {
  static Lirc plugin = [] {
    Lirc p;
    p.module = win::CModule(LoadLibraryW(besideTests(LIRC_DLL_FROM_TESTS).wstring().c_str()));
    if (p.module) {
      p.getPlugInfo = p.module.GetProc<abi::GetPlugInfoFn>("GetPlugInfo");
      p.exports = device::resolveFirstGenerationExports(p.module);
    }
    return p;
  }();
  return plugin;
}

int lircdPort() { return std::atoi(std::getenv("VEXA_LIRCD_PORT") ? std::getenv("VEXA_LIRCD_PORT") : "0"); }

// Asks with-lircd.sh to stop or start the daemon and waits until it has.
bool controlLircd(const char* request) {
  const char* dir = std::getenv("VEXA_LIRCD_CONTROL");
  if (!dir) return false;
  const std::filesystem::path file = std::filesystem::path(std::string("Z:") + dir) / request;
  std::ofstream(file).flush();
  return pumpUntil([&] { return !std::filesystem::exists(file); }, 10000);
}

// One command line to lircd's network port, as irsend sends it; true on its SUCCESS.
bool lircdCommand(const std::string& command) {
  win::CSocket s;
  if (!s.Open()) return false;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<u_short>(lircdPort()));
  to.sin_addr.s_addr = inet_addr("127.0.0.1");
  if (connect(s.Get(), reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) return false;
  const std::string line = command + "\n";
  send(s.Get(), line.data(), static_cast<int>(line.size()), 0);
  std::string reply;
  char buf[512];
  while (reply.find("END\n") == std::string::npos) {
    const int got = recv(s.Get(), buf, sizeof buf, 0);
    if (got <= 0) break;
    reply.append(buf, static_cast<size_t>(got));
  }
  return reply.find("SUCCESS") != std::string::npos;
}

bool simulate(const std::string& repeat, const std::string& button, const std::string& remote) {
  return lircdCommand("SIMULATE 0000000000000001 " + repeat + " " + button + " " + remote);
}

HWND findBox() { return FindWindowW(nullptr, L"WinLIRC PlugIn"); }

BOOL CALLBACK countBox(HWND w, LPARAM count) {
  wchar_t title[32] = {};
  GetWindowTextW(w, title, 32);
  if (std::wstring(title) == L"WinLIRC PlugIn" && IsWindowVisible(w)) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

int boxCount() {
  int count = 0;
  EnumWindows(countBox, reinterpret_cast<LPARAM>(&count));
  return count;
}

// The main window's stand-in, counting from other threads' point of view too.
class CHostWindow : public CRecordingWindow {
 public:
  std::atomic<size_t> recordCount{0};
  std::atomic<size_t> statusCount{0};
  int settingsBack = 0;  // code 2: the fields equal the saved settings again

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == abi::kVexaMessage && wp == abi::MainCode::kSettingsSaved) ++settingsBack;
    const LRESULT r = CRecordingWindow::OnMessage(msg, wp, lp);
    recordCount = records.size();
    statusCount = statuses.size();
    return r;
  }
};

class LircTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lirc().exports.startMsgLoop) << besideTests(LIRC_DLL_FROM_TESTS);
    ASSERT_TRUE(m_host.Create());
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::wstring keyName = L"Software\\Marlix\\VexaTest\\" + std::wstring(name.begin(), name.end());
    RegDeleteTreeW(HKEY_CURRENT_USER, keyName.c_str());
    ASSERT_TRUE(m_key.Create(HKEY_CURRENT_USER, keyName));
  }
  void TearDown() override {
    lirc().exports.endMsgLoop();
    lirc().exports.release();
    if (m_page) DestroyWindow(m_page);
  }
  // Settings as the host hands them over, then the page and the session.
  void Start(int port, DWORD reconnect = 0) {
    m_key.SetDword(L"PORT", static_cast<DWORD>(port));
    m_key.SetDword(L"Reconnect", reconnect);
    lirc().exports.readConfig(m_key.Get());
    abi::Point at{0, 0};
    m_page = static_cast<HWND>(lirc().exports.createCfgDlg(&at, m_host.Handle()));
    ASSERT_NE(m_page, nullptr);
    ASSERT_EQ(lirc().exports.startMsgLoop(m_host.Handle()), 1);
  }
  bool WaitForStatus(unsigned code, const std::string& text, size_t times = 1, unsigned ms = 5000) {
    return pumpUntil(
        [&] {
          size_t n = 0;
          for (const auto& s : m_host.statuses) n += s.code == code && s.text == text;
          return n >= times;
        },
        ms);
  }
  bool WaitForRecords(size_t count, unsigned ms = 5000) {
    return pumpUntil([&] { return m_host.records.size() >= count; }, ms);
  }

  CHostWindow m_host;
  win::CRegKey m_key;
  HWND m_page = nullptr;
};

TEST_F(LircTest, InfoNamesTheClient) {
  abi::PlugInfoRecord info{};
  lirc().getPlugInfo(&info, 1234);
  EXPECT_EQ(info.size, 0u);  // only the interface's magic is answered
  lirc().getPlugInfo(&info, abi::kPlugInfoMagic);
  EXPECT_EQ(info.size, abi::kPlugInfoSize);
  EXPECT_STREQ(info.displayName, "WinLIRC");
  EXPECT_STREQ(info.version, "1.0.0");
  EXPECT_STREQ(info.moduleName, "lirc");
}

TEST_F(LircTest, SetupPageFollowsItsTicksAndTellsWhetherSettingsChanged) {
  m_key.SetString(L"IP", L"10.0.0.1");
  m_key.SetDword(L"PORT", 9000);
  m_key.SetString(L"LIRC Path", L"C:\\lirc\\winlirc.exe");
  m_key.SetDword(L"Reconnect", 5);  // below ten: off
  lirc().exports.readConfig(m_key.Get());
  abi::Point at{0, 0};
  m_page = static_cast<HWND>(lirc().exports.createCfgDlg(&at, m_host.Handle()));
  ASSERT_NE(m_page, nullptr);
  auto item = [&](int id) { return GetDlgItem(m_page, id); };
  auto text = [&](int id) {
    wchar_t buf[300] = {};
    GetWindowTextW(item(id), buf, 300);
    return std::wstring(buf);
  };
  auto click = [&](int id) { SendMessageW(item(id), BM_CLICK, 0, 0); };
  EXPECT_EQ(text(IDC_SERVER_IP), L"10.0.0.1");
  EXPECT_EQ(text(IDC_SERVER_PORT), L"9000");
  EXPECT_EQ(text(IDC_SECONDS), L"0");
  EXPECT_FALSE(IsDlgButtonChecked(m_page, IDC_RECONNECT));
  EXPECT_FALSE(IsWindowEnabled(item(IDC_LIRC_PATH)));
  EXPECT_FALSE(IsWindowEnabled(item(IDC_BROWSE)));
  EXPECT_FALSE(IsWindowEnabled(item(IDC_SECONDS)));
  EXPECT_EQ(m_host.settingsChanged, 0);  // filling the page is no change

  click(IDC_AUTOSTART);
  EXPECT_TRUE(IsWindowEnabled(item(IDC_LIRC_PATH)));
  EXPECT_TRUE(IsWindowEnabled(item(IDC_BROWSE)));
  EXPECT_EQ(m_host.settingsChanged, 1);
  click(IDC_AUTOSTART);  // back as saved
  EXPECT_EQ(m_host.settingsBack, 1);
  SetWindowTextW(item(IDC_LIRC_PATH), L"c:\\LIRC\\WINLIRC.EXE");  // the path ignores case
  EXPECT_EQ(m_host.settingsBack, 2);

  click(IDC_SET_DEFAULT);
  EXPECT_EQ(text(IDC_SERVER_IP), L"127.0.0.1");
  EXPECT_EQ(text(IDC_SERVER_PORT), L"8765");
  click(IDC_AUTOSTART);
  SetWindowTextW(item(IDC_LIRC_PATH), L"");
  click(IDC_RECONNECT);
  EXPECT_TRUE(IsWindowEnabled(item(IDC_SECONDS_SPIN)));
  SetWindowTextW(item(IDC_SECONDS), L"45");
  lirc().exports.writeConfig(m_key.Get());
  EXPECT_EQ(m_key.QueryString(L"IP"), L"127.0.0.1");
  EXPECT_EQ(m_key.QueryDword(L"PORT"), 8765u);
  EXPECT_EQ(m_key.QueryDword(L"AutoStart"), 0u);  // nothing to start without a path
  EXPECT_EQ(m_key.QueryString(L"LIRC Path"), L"");
  EXPECT_EQ(m_key.QueryDword(L"Reconnect"), 45u);
}

TEST_F(LircTest, LircdEventsBecomeCommandRecords) {
  Start(lircdPort());
  ASSERT_TRUE(WaitForStatus(abi::MainCode::kDeviceReady, "Connected to server"));
  // A press, a held button's repeats past 9 (lircd writes them in hexadecimal), another remote.
  ASSERT_TRUE(simulate("00", "play", "tv"));
  ASSERT_TRUE(simulate("0a", "vol+", "tv"));
  ASSERT_TRUE(simulate("10", "vol+", "tv"));
  ASSERT_TRUE(simulate("00", "ok", "box"));
  ASSERT_TRUE(WaitForRecords(4));
  ASSERT_EQ(m_host.records.size(), 4u);
  EXPECT_EQ(m_host.records[0].command + "@" + m_host.records[0].remote, "play@tv");
  EXPECT_EQ(m_host.records[0].repeat, 0);
  EXPECT_EQ(m_host.records[1].repeat, 10);
  EXPECT_EQ(m_host.records[2].repeat, 16);
  EXPECT_EQ(m_host.records[3].command + "@" + m_host.records[3].remote, "ok@box");
}

TEST_F(LircTest, ReconnectsByItsTimerWhenLircdComesBack) {
  Start(lircdPort(), 10);
  ASSERT_TRUE(WaitForStatus(abi::MainCode::kDeviceReady, "Connected to server"));
  ASSERT_TRUE(controlLircd("stop"));
  ASSERT_TRUE(WaitForStatus(abi::MainCode::kDeviceNotInitialised, "Not connected to server"));
  ASSERT_TRUE(controlLircd("start"));
  // The next tick of the ten-second timer connects again.
  ASSERT_TRUE(WaitForStatus(abi::MainCode::kDeviceReady, "Connected to server", 2, 15000));
  ASSERT_TRUE(simulate("00", "play", "tv"));
  ASSERT_TRUE(WaitForRecords(1));
}

TEST_F(LircTest, AClosedPortIsNotConnected) {
  win::CSocket probe;  // a port nobody listens on: bound here, then let go
  ASSERT_TRUE(probe.Open());
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = inet_addr("127.0.0.1");
  ASSERT_EQ(bind(probe.Get(), reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
  int len = sizeof at;
  getsockname(probe.Get(), reinterpret_cast<sockaddr*>(&at), &len);
  probe.Close();
  Start(ntohs(at.sin_port));
  EXPECT_TRUE(WaitForStatus(abi::MainCode::kDeviceNotInitialised, "Not connected to server"));
  EXPECT_FALSE(m_host.sawStatus(abi::MainCode::kDeviceReady, "Connected to server"));
}

// A port nobody listens on: bound here, then let go.
int closedPort() {
  win::CSocket probe;
  if (!probe.Open()) return 0;
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = inet_addr("127.0.0.1");
  if (bind(probe.Get(), reinterpret_cast<sockaddr*>(&at), sizeof at) != 0) return 0;
  int len = sizeof at;
  getsockname(probe.Get(), reinterpret_cast<sockaddr*>(&at), &len);
  return ntohs(at.sin_port);
}

size_t countStatus(const CRecordingWindow& host, unsigned code, const std::string& text) {
  size_t n = 0;
  for (const auto& s : host.statuses) n += s.code == code && s.text == text;
  return n;
}

TEST_F(LircTest, StartsTheServerProgramOnceAndWaitsWithoutBlocking) {
  // A program that exits at once: the server does not come, so after the
  // wait the second attempt fails too, and the program is not started again.
  m_key.SetDword(L"AutoStart", 1);
  m_key.SetString(L"LIRC Path", L"C:\\windows\\system32\\hostname.exe");
  Start(closedPort());
  ASSERT_TRUE(WaitForStatus(abi::MainCode::kTemporaryStatus, "Executing WinLIRC..."));
  const DWORD started = GetTickCount();
  // This thread goes on dispatching while the plug-in waits for the server:
  // a message posted now is handled before the next attempt.
  char* text = new char[16];
  std::strcpy(text, "still answering");
  PostMessageA(m_host.Handle(), abi::kVexaMessage, abi::MainCode::kTemporaryStatus, reinterpret_cast<LPARAM>(text));
  ASSERT_TRUE(pumpUntil([&] { return countStatus(m_host, abi::MainCode::kInitialising, "Connecting to server...") >= 2; },
                        8000));
  EXPECT_GE(GetTickCount() - started, 3900u);
  size_t answered = 0, second = 0, connecting = 0;
  for (size_t i = 0; i < m_host.statuses.size(); ++i) {
    if (m_host.statuses[i].text == "still answering") answered = i;
    if (m_host.statuses[i].text == "Connecting to server..." && ++connecting == 2) second = i;
  }
  EXPECT_LT(answered, second);
  ASSERT_TRUE(WaitForStatus(abi::MainCode::kDeviceNotInitialised, "Not connected to server", 2));
  pumpFor(500);
  EXPECT_EQ(countStatus(m_host, abi::MainCode::kTemporaryStatus, "Executing WinLIRC..."), 1u);
}

TEST_F(LircTest, AServerProgramThatCannotStartIsReported) {
  m_key.SetDword(L"AutoStart", 1);
  m_key.SetString(L"LIRC Path", L"C:\\nowhere\\winlirc.exe");
  Start(closedPort());
  EXPECT_TRUE(WaitForStatus(abi::MainCode::kDeviceNotInitialised, "Could not execute WinLIRC"));
}

// A server played by the test: it listens on a free port and accepts the plug-in.
class ScriptedServerTest : public LircTest {
 protected:
  void Accept() {
    ASSERT_TRUE(m_listener.Open());
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = inet_addr("127.0.0.1");
    ASSERT_EQ(bind(m_listener.Get(), reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    int len = sizeof at;
    getsockname(m_listener.Get(), reinterpret_cast<sockaddr*>(&at), &len);
    ASSERT_EQ(listen(m_listener.Get(), 1), 0);
    u_long nonBlocking = 1;
    ioctlsocket(m_listener.Get(), FIONBIO, &nonBlocking);
    Start(ntohs(at.sin_port));
    ASSERT_TRUE(pumpUntil([&] {
      m_peer = win::CSocket(accept(m_listener.Get(), nullptr, nullptr));
      return m_peer.IsValid();
    }));
    ASSERT_TRUE(WaitForStatus(abi::MainCode::kDeviceReady, "Connected to server"));
  }
  void Send(const std::string& bytes) { send(m_peer.Get(), bytes.data(), static_cast<int>(bytes.size()), 0); }

  win::CSocket m_listener;
  win::CSocket m_peer;
};

TEST_F(ScriptedServerTest, LinesCountWhereverTheSegmentsEnd) {
  Accept();
  Send("0001 00 one r\n0002 00 two r\n0003 0");  // two lines and the start of a third
  ASSERT_TRUE(WaitForRecords(2));
  Send("1 three r\r\n");
  ASSERT_TRUE(WaitForRecords(3));
  EXPECT_EQ(m_host.records[2].command, "three");
  EXPECT_EQ(m_host.records[2].repeat, 1);
  EXPECT_EQ(m_host.records[2].remote, "r");  // the CR is not part of the name
  EXPECT_EQ(findBox(), nullptr);
}

TEST_F(ScriptedServerTest, OverLongNamesAreCutToTheRecord) {
  Accept();
  Send("0001 00 " + std::string(300, 'b') + " " + std::string(300, 'r') + "\n");
  ASSERT_TRUE(WaitForRecords(1));
  EXPECT_EQ(m_host.records[0].command, std::string(255, 'b'));
  EXPECT_EQ(m_host.records[0].remote, std::string(255, 'r'));
}

TEST_F(ScriptedServerTest, OneBoxAtATimeForUnreadableLines) {
  Accept();
  // The box runs a nested message loop on this thread: a helper sends the
  // rest while it is open, and closes it once the plug-in handled that.
  std::atomic<int> boxesSeen{0};
  std::thread helper([&] {
    for (int i = 0; i < 500 && !findBox(); ++i) Sleep(10);
    if (!findBox()) return;
    const size_t statuses = m_host.statusCount;
    Send("more garbage\nstill garbage\n0001 00 good r\n");
    for (int i = 0; i < 500 && (m_host.recordCount < 1 || m_host.statusCount < statuses + 2); ++i) Sleep(10);
    boxesSeen = boxCount();
    PostMessageW(findBox(), WM_COMMAND, IDOK, 0);
  });
  Send("garbage\n");
  const bool done = pumpUntil([&] { return m_host.records.size() >= 1 && !findBox(); }, 8000);
  helper.join();
  ASSERT_TRUE(done);
  EXPECT_EQ(boxesSeen, 1);
  EXPECT_EQ(m_host.records[0].command, "good");
  EXPECT_TRUE(m_host.sawStatus(abi::MainCode::kTemporaryStatus, "Received message format not supported (2 more)"));
}

TEST_F(ScriptedServerTest, AServerThatClosesAtOnceIsNotConnected) {
  Accept();
  m_peer.Close();
  EXPECT_TRUE(WaitForStatus(abi::MainCode::kDeviceNotInitialised, "Not connected to server"));
  EXPECT_EQ(findBox(), nullptr);
}

}  // namespace
}  // namespace vexa::test
