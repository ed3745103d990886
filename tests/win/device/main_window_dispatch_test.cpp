// The main window's side of the plug-in protocol (0x7FFF codes 0 to 4, 99 to 104)
// and the whole road from a fake plug-in's code to a command start.
#include "main_window_host_test.h"
#include "vexa/base/program_messages.h"
#include "vexa/device/win/device_selection_page.h"
#include "vexa/device/win/status_text.h"
#include "vexa/osd/win/osd_resource.h"
#include "vexa/shell/res/resource.h"
#include "vexa/shell/win/app.h"

namespace vexa::test {
namespace {

using shell::CMainWindow;

class MainWindowDispatchTest : public MainWindowHostTest {
 protected:
  LRESULT send(WPARAM code, LPARAM lp = 0) { return SendMessageW(window.Handle(), abi::kVexaMessage, code, lp); }
  static LPARAM text(const char* t) { return reinterpret_cast<LPARAM>(device::newStatusText(t)); }
  static LPARAM record(const char* remote, const char* command, int repeat = 0) {
    auto* r = new abi::CommandRecord{};
    abi::copyField(r->remote, remote);
    abi::copyField(r->command, command);
    r->repeatCount = repeat;
    return reinterpret_cast<LPARAM>(r);
  }

};

TEST_F(MainWindowDispatchTest, StatusCodesSetTheStatusLineAndTray) {
  EXPECT_EQ(send(101, 0), 1);
  EXPECT_EQ(window.StatusText(), L"Ready");
  EXPECT_EQ(window.Tray(), CMainWindow::TrayState::Ready);
  EXPECT_EQ(send(103, text("Warming up")), 1);
  EXPECT_EQ(window.StatusText(), L"Warming up");
  EXPECT_EQ(send(103, 0), 1);
  EXPECT_EQ(window.StatusText(), L"Initializing plugin...");
  EXPECT_EQ(send(102, 0), 1);
  EXPECT_EQ(window.StatusText(), L"Device not initialized");
  EXPECT_EQ(window.Tray(), CMainWindow::TrayState::Idle);
  EXPECT_EQ(send(104, 0), 1);
  EXPECT_EQ(window.StatusText(), L"Device deactivated");

  // Temporary texts: code 100 (and any other above 99) for 3 s; 99 restores at once.
  EXPECT_EQ(send(100, text("Terminating plugin session...")), 1);
  EXPECT_EQ(window.StatusText(), L"Terminating plugin session...");
  EXPECT_EQ(send(99, 0), 1);
  EXPECT_EQ(window.StatusText(), L"Device deactivated");
  EXPECT_EQ(send(150, text("Other")), 1);
  EXPECT_EQ(window.StatusText(), L"Other");
  EXPECT_EQ(send(100, 0), 1);
  EXPECT_EQ(window.StatusText(), L"");  // an empty temporary text
  EXPECT_TRUE(pumpUntil([&] { return window.StatusText() == L"Device deactivated"; }, 6000));
}

TEST_F(MainWindowDispatchTest, CommandRecordsAreIgnoredWhileTheDeviceIsNotReady) {
  EXPECT_EQ(send(0, record("TV", "Power")), 1);
  ASSERT_EQ(started.size(), 1u);
  send(102, 0);
  EXPECT_EQ(send(0, record("TV", "Mute")), 1);  // freed without effect
  send(101, 0);
  send(104, 0);
  EXPECT_EQ(send(0, record("TV", "Mute")), 1);
  EXPECT_EQ(started.size(), 1u);
  send(101, 0);
  EXPECT_EQ(send(0, record("TV", "Play", 2)), 1);
  ASSERT_EQ(started.size(), 2u);
  EXPECT_EQ(started[1].command, "Play");
  EXPECT_EQ(started[1].repeat, 2);
  EXPECT_EQ(window.StatusText(), L"TV: Play (2)");
  EXPECT_EQ(send(0, 0), 1);
}

TEST_F(MainWindowDispatchTest, SettingsCodesAndForwardingWithoutADevicePage) {
  using Reason = shell::CMainWindow::ApplyReason;
  EXPECT_FALSE(window.IsApplyEnabled());
  send(1);
  EXPECT_TRUE(window.IsApplyEnabled());
  send(2);
  EXPECT_FALSE(window.IsApplyEnabled());

  // The plug-in's "saved again" withdraws only its own reason: edits of the
  // tree and of the pages stay unsaved, and leaving still asks.
  window.SetApplyReason(Reason::CommandTree, true);
  SendMessageW(window.Handle(), ProgramMessage::kPageSettingsChanged, 0, 0);
  send(1);
  send(2);
  EXPECT_TRUE(window.HasApplyReason(Reason::CommandTree));
  EXPECT_TRUE(window.HasApplyReason(Reason::Pages));
  EXPECT_FALSE(window.HasApplyReason(Reason::PlugIn));
  bool saveWorks = false;
  window.SetSaveHandler([&] { return saveWorks; });
  EXPECT_FALSE(window.SaveAll());
  EXPECT_TRUE(window.IsApplyEnabled());
  saveWorks = true;
  EXPECT_TRUE(window.SaveAll());
  EXPECT_FALSE(window.IsApplyEnabled());
  const uint8_t bytes[] = {1};
  abi::CodeBlock block{1, bytes};
  EXPECT_EQ(send(3, reinterpret_cast<LPARAM>(&block)), 0);  // no configuration window
  EXPECT_EQ(send(4, abi::makeSample(true, 500)), 0);        // the plug-in drops its samples
  EXPECT_EQ(send(50, 0), 0);
}

TEST_F(MainWindowDispatchTest, APluginsCodeBecomesACommandStart) {
  writeGood2Settings(0, "BACADA,BACADA",
                     "[TV]\r\ndwTolerance=0\r\ndwMode=0\r\n[Power@TV]\r\nFlags=32\r\nSignature=BACADA\r\n");
  device::CDevice& host = makeHost();
  window.AttachDevice(&host);
  std::vector<shell::CommandStart> started;
  window.SetCommandStarter([&](const shell::CommandStart& s) { started.push_back(s); });
  ASSERT_TRUE(host.SelectDevice("Fake Receiver", window.Handle()));
  window.RefreshDevicePage();
  window.ShowPage(CMainWindow::PageId::HardwareSetup);
  EXPECT_TRUE(IsWindowVisible(host.PageHandle()) || !IsWindowVisible(window.Handle()));
  EXPECT_NE(GetWindowLongW(host.PageHandle(), GWL_STYLE) & WS_VISIBLE, 0);
  ASSERT_TRUE(host.StartSession(true));
  ASSERT_TRUE(pumpUntil([&] { return started.size() == 1; }));
  EXPECT_EQ(started[0].remote, "TV");
  EXPECT_EQ(started[0].command, "Power");
  // The second, identical code follows at once: the typematic delay swallows it.
  EXPECT_FALSE(pumpUntil([&] { return started.size() > 1; }, 600));
  EXPECT_EQ(started.size(), 1u);
  EXPECT_TRUE(pumpUntil([&] { return window.IsDeviceReady() && window.Tray() == CMainWindow::TrayState::Ready; }));
  host.StopSession();
  EXPECT_EQ(window.StatusText(), L"Device deactivated");
  EXPECT_FALSE(window.IsDeviceReady());
  window.Exit();  // unloads the device first
  EXPECT_EQ(host.Current(), nullptr);
}

// "&Deactivate" stops a first-generation plug-in too, and "&Activate" (its place while
// the device is stopped) starts it again, with no trip to the configuration window.
TEST_F(MainWindowDispatchTest, TheTrayMenuDeactivatesAndActivatesTheDevice) {
  device::CDevice& host = makeHost();
  window.AttachDevice(&host);
  ASSERT_TRUE(host.SelectDevice("Fake Classic", window.Handle()));
  ASSERT_TRUE(host.StartSession(true));
  ASSERT_TRUE(host.IsRunning());
  window.RunMenuCommand(ID_TRAY_DEACTIVATE);
  EXPECT_FALSE(host.IsRunning());
  EXPECT_FALSE(window.IsDeviceReady());
  window.RunMenuCommand(ID_TRAY_ACTIVATE);
  EXPECT_TRUE(host.IsRunning());
  EXPECT_TRUE(pumpUntil([&] { return window.IsDeviceReady(); }));
}

// What the window shows in a rectangle of the screen, children included, once pending paints are done.
std::vector<COLORREF> shownIn(HWND window, RECT onScreen) {
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);  // paints what is due, no more
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&onScreen), 2);
  const HDC dc = GetDCEx(window, nullptr, DCX_CACHE);  // not clipped to the window's own area
  std::vector<COLORREF> pixels;
  for (int y = onScreen.top; y < onScreen.bottom; ++y)
    for (int x = onScreen.left; x < onScreen.right; ++x) pixels.push_back(GetPixel(dc, x, y));
  ReleaseDC(window, dc);
  return pixels;
}

// Seen as a person saw it: the on-screen display's "Timeout" field stayed drawn on
// the device page, where the page paints nothing of its own.
TEST_F(MainWindowDispatchTest, APageLeftLeavesNothingOfItselfOnTheDevicePage) {
  writeGood2Settings(0, "");
  device::CDevice& host = makeHost();
  window.AttachDevice(&host);
  ASSERT_TRUE(host.SelectDevice("Fake Receiver", window.Handle()));
  window.RefreshDevicePage();
  window.Open();
  // As the menus show pages, with time to paint between.
  const auto showPage = [&](CMainWindow::PageId page) {
    SendMessageW(window.Handle(), WM_COMMAND, CMainWindow::kCmdShowPage + static_cast<UINT>(page), 0);
    pumpFor(300);
  };
  showPage(CMainWindow::PageId::Osd);
  HWND timeout = nullptr;
  for (HWND page = GetWindow(window.Handle(), GW_CHILD); page && !timeout; page = GetWindow(page, GW_HWNDNEXT))
    timeout = GetDlgItem(page, IDC_OSD_TIMEOUT);
  ASSERT_NE(timeout, nullptr);
  ASSERT_TRUE(IsWindowVisible(timeout));
  RECT field{};
  GetWindowRect(timeout, &field);
  const std::vector<COLORREF> before = shownIn(window.Handle(), field);
  showPage(CMainWindow::PageId::HardwareSetup);
  EXPECT_FALSE(IsWindowVisible(timeout));
  EXPECT_NE(shownIn(window.Handle(), field), before) << "the \"Timeout\" field is still drawn";
}

TEST_F(MainWindowDispatchTest, YesToSavingBeforeUnloadingTheDeviceSavesEverything) {
  writeGood2Settings(0, "");
  device::CDevice& host = makeHost();
  window.AttachDevice(&host);
  int saves = 0;
  window.SetSaveHandler([&] { return ++saves > 0; });
  window.SelectionPage()->Choose("Fake Receiver");
  ASSERT_NE(host.Current(), nullptr);
  window.SetApplyReason(CMainWindow::ApplyReason::CommandTree, true);
  window.SelectionPage()->Choose("Keyboard");
  ASSERT_EQ(questions, (std::vector<std::wstring>{L"Save settings before unloading Device?"}));
  EXPECT_EQ(saves, 1);  // the whole save, tree included, not only the device's settings
  EXPECT_FALSE(window.IsApplyEnabled());
  EXPECT_EQ(host.Current(), nullptr);
}

// Session changes arrive as window messages: a lock stops the device but keeps
// its selection, unlocking starts it again; a console connect waits first.
TEST_F(MainWindowDispatchTest, LockStopsTheDeviceAndUnlockStartsItAgain) {
  writeGood2Settings(0, "");
  device::CDevice& host = makeHost();
  window.AttachDevice(&host);
  ASSERT_TRUE(host.SelectDevice("Fake Receiver", window.Handle()));
  window.RefreshDevicePage();
  ASSERT_TRUE(host.StartSession(true));
  ASSERT_TRUE(pumpUntil([&] { return host.IsRunning(); }));
  window.WatchSessions(shell::deviceSessionHooks(window, host));
  ASSERT_NE(window.Sessions(), nullptr);

  SendMessageW(window.Handle(), WM_WTSSESSION_CHANGE, static_cast<WPARAM>(shell::SessionChange::SessionLock), 0);
  EXPECT_FALSE(host.IsRunning());
  EXPECT_EQ(host.DeviceName(), "Fake Receiver");  // the selection stays
  EXPECT_EQ(host.PageHandle(), nullptr);
  SendMessageW(window.Handle(), WM_WTSSESSION_CHANGE, static_cast<WPARAM>(shell::SessionChange::SessionUnlock), 0);
  EXPECT_TRUE(pumpUntil([&] { return host.IsRunning(); }));
  EXPECT_NE(host.PageHandle(), nullptr);

  // Unlocking after a console disconnect waits for the console to come back.
  SendMessageW(window.Handle(), WM_WTSSESSION_CHANGE, static_cast<WPARAM>(shell::SessionChange::ConsoleDisconnect), 0);
  SendMessageW(window.Handle(), WM_WTSSESSION_CHANGE, static_cast<WPARAM>(shell::SessionChange::SessionUnlock), 0);
  EXPECT_FALSE(host.IsRunning());
  EXPECT_FALSE(host.HasMonitorThread());
  window.Exit();
}

TEST_F(MainWindowDispatchTest, AStartingCommandFlashesTheTrayIconBackToItsState) {
  EXPECT_EQ(window.TrayPicture(), shell::TrayIcon::Idle);
  EXPECT_EQ(send(101, 0), 1);
  EXPECT_EQ(window.TrayPicture(), shell::TrayIcon::Ready);
  PostMessageW(window.Handle(), ProgramMessage::kFlashTray, 0, 0);
  EXPECT_TRUE(pumpUntil([&] { return window.TrayPicture() == shell::TrayIcon::Busy; }));
  EXPECT_TRUE(pumpUntil([&] { return window.TrayPicture() == shell::TrayIcon::Ready; }, 2000));
  // The permanent text keeps its own timer: a temporary one gives way while the flash runs.
  EXPECT_EQ(send(150, text("Other")), 1);
  PostMessageW(window.Handle(), ProgramMessage::kFlashTray, 0, 0);
  EXPECT_TRUE(pumpUntil([&] { return window.StatusText() == L"Ready"; }, 6000));
}

}  // namespace
}  // namespace vexa::test
