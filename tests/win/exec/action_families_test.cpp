// The action families under Wine, against a window of another process that
// records what reaches it, through the main window's side of the engine
// (window list, request message, timers, shutdown countdown). The rules
// themselves are proved natively; these tests check the wiring.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>
#include <sstream>

#include "exec_test_support.h"
#include "freed_memory_poison.h"
#include "support/one_line_mixer.h"
#include "support/temp_folder.h"
#include "support/win/input_recorder.h"
#include "support/win/recording_system_actions.h"
#include "vexa/base/program_messages.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/exec/actions/shutdown_rules.h"
#include "vexa/exec/win/actions/action_choices.h"
#include "vexa/exec/win/actions/winmm_mixer.h"
#include "vexa/exec/win/exec_engine.h"
#include "vexa/model/app_folder.h"
#include "vexa/osd/win/osd.h"
#include "vexa/shell/win/action_requests.h"
#include "vexa/shell/win/command_dispatch.h"
#include "vexa/shell/win/remote_shutdown_window.h"
#include "vexa/winlib/module.h"
#include "vexa/winlib/unicode.h"

namespace vexa::test {
namespace {

// The main window as far as actions are concerned: the real dispatch
// handles the engine's messages, the recording window what reaches the
// status line and the display.
class CActionMainWindow : public CRecordingWindow {
 public:
  explicit CActionMainWindow(shell::DispatchSettings settings = {}) {
    Create();
    dispatch = std::make_unique<shell::CCommandDispatch>(
        Handle(), settings, [this](const std::wstring& text) { dispatchStatuses.push_back(win::toUtf8(text)); });
  }
  ~CActionMainWindow() override { dispatch.reset(); }
  std::unique_ptr<shell::CCommandDispatch> dispatch;
  std::vector<std::string> dispatchStatuses;  // what the main window itself shows

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (dispatch && msg != abi::kVexaMessage)
      if (const auto handled = dispatch->OnEngineMessage(msg, wp, lp)) return *handled;
    return CRecordingWindow::OnMessage(msg, wp, lp);
  }
};

std::unique_ptr<CMD> act(std::string_view type, std::string file = {}, std::string param = {}) {
  auto a = std::make_unique<CMD>();
  a->name = "A";
  a->typeName = std::string(type);
  a->fileName = std::move(file);
  a->param = std::move(param);
  return a;
}

bool contains(const std::vector<std::string>& all, const std::string& line) {
  return std::find(all.begin(), all.end(), line) != all.end();
}

class ActionFamilies : public ::testing::Test {
 protected:
  void SetUp() override {
    resetTerminateEvent();
    engine().Services().system = std::unique_ptr<exec::ISystemActions>(system = new CRecordingSystemActions);
  }
  void TearDown() override {
    engine().Shutdown();
    resetTerminateEvent();
  }
  exec::CExecEngine& engine() { return window->dispatch->Engine(); }

  HWND startRecorder(const std::string& t, RecorderMode mode = RecorderMode::Plain) {
    return startInputRecorder(t, folder.path() / (t + ".txt"), mode);
  }
  std::vector<std::string> recorded(const std::string& t) { return fileLines(folder.path() / (t + ".txt")); }
  bool recordedLine(const std::string& t, const std::string& line, unsigned ms = 3000) {
    return waitForLine(folder.path() / (t + ".txt"), line, ms);
  }

  // Runs a command of these actions to its end; the run's status texts.
  template <class... A>
  std::vector<std::string> run(A... actions) {
    auto command = std::make_unique<CCmdArray>("C" + std::to_string(++m_commands));
    (command->appendAction(std::move(actions)), ...);
    const std::string name = command->name();
    lastCommand = tree.insertCommand(*remote, std::move(command)).command();
    const size_t before = window->temporaryTexts().size();
    exec::RunOptions options;
    EXPECT_TRUE(engine().StartCommandRun(window->Handle(), exec::RunRequest::byName(tree, "TV", name, 0), options));
    EXPECT_TRUE(pumpUntil([&] { return !engine().Busy(); }, 15000));
    pumpFor(50);
    const auto all = window->temporaryTexts();
    return {all.begin() + static_cast<long>(before), all.end()};
  }

  CTempFolder folder;
  std::string title = uniqueName("vexa-rec");
  std::string other = title + "-other";
  CMarkerCleanup cleanup{title}, cleanupOther{other};
  std::unique_ptr<CActionMainWindow> window = std::make_unique<CActionMainWindow>();
  CRecordingSystemActions* system = nullptr;
  CCmdTree tree;
  CCmdItem* remote = &tree.insertRemote("TV");
  CCmdArray* lastCommand = nullptr;

 private:
  int m_commands = 0;
};

TEST_F(ActionFamilies, KeystrokesAndMessagesReachAWindowOfAnotherProcessByItsListName) {
  const HWND recorder = startRecorder(title);
  ASSERT_TRUE(recorder);
  const std::string listName = title + " (VexaInputRecorder)";
  const auto texts = run(act("Keystroke to window", listName, "ab{CS0x41}{{"),
                         act("PostMessage", " (VexaInputRecorder)", "WM_USER+0x10:0x5:7"),
                         act("PostMessage", listName, "WM_LBUTTONUP:0:0"),
                         act("PostMessage", "no such window", "WM_USER+1:0:0"));
  EXPECT_EQ(texts, (std::vector<std::string>{"Keystroke sent to " + listName, "PostMessage: WM_USER+0x10:0x5:7",
                                             "PostMessage: unsupported message: 202",
                                             "PostMessage: Window no such window not found"}));
  ASSERT_TRUE(recordedLine(title, "msg 410 5 7"));
  const auto got = recorded(title);
  EXPECT_TRUE(contains(got, "char 97")) << ::testing::PrintToString(got);
  EXPECT_TRUE(contains(got, "char 98"));
  EXPECT_TRUE(contains(got, "key 41 C-S"));  // Control+Shift+A
  EXPECT_TRUE(contains(got, "char 123"));    // "{{" types a brace
}

TEST_F(ActionFamilies, KeystrokeToApplicationAndCurrentWindowThenTheFocusGoesBack) {
  const HWND recorder = startRecorder(title);
  startMarker(other, folder.path() / "m.start", folder.path() / "m.close");
  const HWND previous = findTitled(other);
  ASSERT_TRUE(recorder && previous);
  SetForegroundWindow(previous);
  ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == previous; }));
  const std::string app = win::toUtf8((win::modulePath().parent_path() / "input_recorder_app.exe").wstring());
  const auto texts = run(act("Keystroke to application", app, "x"), act("Keystroke to current window", "", "y"));
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], "Keystroke sent to " + app);
  EXPECT_EQ(texts[1], "Keystroke sent to " + title);
  EXPECT_TRUE(recordedLine(title, "char 120"));
  EXPECT_TRUE(recordedLine(title, "char 121"));
  EXPECT_EQ(GetForegroundWindow(), recorder);
  // About 3 s after the last temporary activation the focus returns.
  EXPECT_TRUE(pumpUntil([&] { return GetForegroundWindow() == previous; }, 6000));
}

TEST_F(ActionFamilies, LeaveWindowFocusAfterKeystrokeKeepsTheWindowInFront) {
  shell::DispatchSettings settings;
  settings.leaveFocus = true;
  window->dispatch->ApplySettings(settings);
  const HWND recorder = startRecorder(title);
  const HWND previous = startRecorder(other);
  SetForegroundWindow(previous);
  ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == previous; }));
  run(act("Keystroke to window", title, "x"));
  pumpFor(3600);
  EXPECT_EQ(GetForegroundWindow(), recorder);
}

TEST_F(ActionFamilies, KeystrokesToANamedControlLandInThatControl) {
  ASSERT_TRUE(startRecorder(title, RecorderMode::TwoFields));
  const std::string name = title + " (VexaInputRecorder)\\\\\\second (VexaRecorderField)";
  EXPECT_EQ(run(act("Keystroke to window", name, "xy")), (std::vector<std::string>{"Keystroke sent to " + name}));
  EXPECT_TRUE(recordedLine(title, "second char 121"));
  EXPECT_TRUE(contains(recorded(title), "second char 120"));
  EXPECT_FALSE(contains(recorded(title), "first char 120")) << ::testing::PrintToString(recorded(title));
}

TEST_F(ActionFamilies, ActiveWindowActionsAndSwitchToWindow) {
  const HWND recorder = startRecorder(title);
  const HWND previous = startRecorder(other);
  ASSERT_TRUE(recorder && previous);
  auto texts = run(act("Switch to window", title + " (*)"));
  EXPECT_EQ(texts, (std::vector<std::string>{"Switched to " + title + " (*)"}));
  EXPECT_TRUE(pumpUntil([&] { return GetForegroundWindow() == recorder; }));
  texts = run(act("Maximize window"));
  EXPECT_TRUE(pumpUntil([&] { return IsZoomed(recorder) != FALSE; }));
  texts = run(act("Maximize window"));
  EXPECT_EQ(texts, (std::vector<std::string>{"Restored current window"}));
  EXPECT_TRUE(pumpUntil([&] { return !IsZoomed(recorder); }));
  texts = run(act("Close window"), act("Switch to window", "no such window"));
  EXPECT_EQ(texts, (std::vector<std::string>{"Closed current window", "Window no such window not found"}));
  EXPECT_TRUE(recordedLine(title, "syscommand close"));
}

TEST_F(ActionFamilies, DisplayWindowTitleReadsChildrenAndBoundsTheText) {
  ASSERT_TRUE(startRecorder(title));
  const std::string sep = "\\\\\\";
  auto texts = run(act("Display window title", title + sep + " (ComboBox)"),
                   act("Display window title", title + sep + "Recorder status (Static)"));
  ASSERT_EQ(texts.size(), 2u);
  // The 600-character item: the status text is cut to 500 bytes.
  EXPECT_EQ(texts[0], "Window Title: " + std::string(500 - 14, 'x'));
  EXPECT_EQ(texts[1], "Window Title: Recorder status");
  ASSERT_EQ(window->count(DisplayRequest::kWindowTitle), 2);
  for (const auto& r : window->requests)
    if (r.code == DisplayRequest::kWindowTitle) {
      EXPECT_EQ(r.text.size(), 600u);  // the display gets the whole text
      break;
    }
}

TEST_F(ActionFamilies, MouseClicksWheelAndPositionRelativeToAWindow) {
  const HWND recorder = startRecorder(title);
  ASSERT_TRUE(recorder);
  RECT frame{};
  GetWindowRect(recorder, &frame);
  POINT client{};
  ClientToScreen(recorder, &client);
  auto texts = run(act("Set Mouse Position", "WND:" + title, "60x70"), act("Click Mouse Button", "Left Button"),
                   act("DoubleClick Mouse Button", "Button"), act("Roll Mouse Wheel", "Down", "2"));
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[1], "left button mouse button clicked");
  EXPECT_EQ(texts[2], "No mouse button named in Button");
  EXPECT_EQ(texts[3], "Mouse wheel rolled Down");
  POINT at{};
  GetCursorPos(&at);
  EXPECT_NEAR(at.x, frame.left + 61, 2);
  EXPECT_NEAR(at.y, frame.top + 71, 2);
  ASSERT_TRUE(recordedLine(title, "wheel -120"));
  const std::string down = "lbuttondown " + std::to_string(at.x - client.x) + " " + std::to_string(at.y - client.y);
  EXPECT_TRUE(contains(recorded(title), down)) << ::testing::PrintToString(recorded(title));
}

TEST_F(ActionFamilies, MoveMouseStopsSoonAfterTheLastPress) {
  SetCursorPos(100, 100);
  const auto texts = run(act("Move Mouse", "East"));
  EXPECT_EQ(texts, (std::vector<std::string>{"Moved mouse East"}));
  pumpFor(150);
  POINT moving{};
  GetCursorPos(&moving);
  EXPECT_GT(moving.x, 100);
  EXPECT_EQ(moving.y, 100);
  pumpFor(500);  // timer 11 fired 250 ms after the press
  POINT first{}, later{};
  GetCursorPos(&first);
  pumpFor(300);
  GetCursorPos(&later);
  EXPECT_EQ(first.x, later.x);
  EXPECT_FALSE(engine().Services().mouse.moving());
}

TEST(MouseMover, TwoMovesAtOnceShareTheAxisThreads) {
  exec::CMouseMover mover;
  const MouseMotion motion{1, 1, 1};
  for (int round = 0; round < 200; ++round) {
    std::atomic<int> ready{0};
    const auto press = [&] {
      ++ready;
      while (ready.load() < 2) {
      }
      mover.move(motion);
    };
    std::thread first(press), second(press);
    first.join();
    second.join();
    ASSERT_TRUE(mover.moving()) << round;
    mover.stop();
    ASSERT_TRUE(pumpUntil([&] { return !mover.moving(); }, 2000)) << round;
  }
}

TEST_F(ActionFamilies, ShutdownStepsCountsDownAndEndsThroughTheSystemActions) {
  auto texts = run(act("Shutdown Windows", "Reboot", ""));
  EXPECT_TRUE(texts.empty());  // the request is posted; the main window reports
  auto& countdown = window->dispatch->Actions().Shutdown();
  EXPECT_TRUE(pumpUntil([&] { return countdown.Countdown() == 15; }));
  EXPECT_EQ(countdown.Type(), ShutdownType::kReboot);
  // The display's shutdown bar is up, and the countdown waits for it to close.
  EXPECT_TRUE(window->dispatch->Osd().IsShowing(DisplayRequest::kShutdown));
  EXPECT_FALSE(countdown.Ticking());
  // A second press while the display shows steps the countdown.
  run(act("Shutdown Windows", "Reboot", "0"));
  EXPECT_TRUE(pumpUntil([&] { return countdown.Countdown() == 900; }));
  EXPECT_EQ(window->dispatchStatuses.back(), "Reboot in 15 min");
  // When the display times out it tells the countdown to go on.
  EXPECT_TRUE(pumpUntil([&] { return countdown.Ticking(); }, 8000));
  EXPECT_FALSE(window->dispatch->Osd().IsShowing(DisplayRequest::kShutdown));
  // A stray tick after an abort ends nothing.
  countdown.Abort();
  countdown.OnTick();
  EXPECT_TRUE(system->calls().empty());
  // Abort from the shutdown window's button: nothing is ended.
  countdown.OnRequest(2, ShutdownType::kLogOff | ShutdownType::kForce | kShutdownNoOsd);
  ASSERT_TRUE(pumpUntil([&] { return countdown.Window() != nullptr; }, 4000));
  const HWND abort = GetDlgItem(countdown.Window(), IDCANCEL);
  SendMessageW(abort, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(pumpUntil([&] { return countdown.Window() == nullptr && countdown.Countdown() == 0; }));
  EXPECT_FALSE(countdown.Ticking());
  EXPECT_TRUE(system->calls().empty());
}

TEST_F(ActionFamilies, TheLastTickEndsTheProgramThenTheSession) {
  std::vector<std::string> steps, statuses;
  shell::CShutdownCountdown countdown(
      window->Handle(), engine().Services(), [&](const std::string& t) { statuses.push_back(t); },
      [](DisplayRequest&) { return false; }, [&] { steps.push_back("end program"); },
      [&] { steps.push_back("quit"); });
  EXPECT_EQ(countdown.OnRequest(2, ShutdownType::kLogOff | ShutdownType::kForce), 2u);
  countdown.OnTick();
  EXPECT_NE(countdown.Window(), nullptr);  // the last "requested" seconds show the window
  EXPECT_TRUE(system->calls().empty());
  countdown.OnTick();
  EXPECT_EQ(countdown.Window(), nullptr);
  EXPECT_FALSE(countdown.Ticking());
  EXPECT_EQ(steps, (std::vector<std::string>{"end program", "quit"}));
  EXPECT_EQ(system->calls(), (std::vector<std::string>{"exit 4"}));
  EXPECT_EQ(statuses, (std::vector<std::string>{"Forced LogOff in 2 sec", "Forced LogOff in 1 sec"}));
}

TEST_F(ActionFamilies, SteppingPastNinetyMinutesShowsOffOnTheDisplay) {
  auto& countdown = window->dispatch->Actions().Shutdown();
  osd::win::COsdBarWindow& bar = window->dispatch->Osd().BarWindow();
  for (int press = 0; press < 7; ++press) countdown.OnRequest(15, ShutdownType::kReboot);
  EXPECT_EQ(countdown.Countdown(), 5400u);
  EXPECT_EQ(bar.Caption(), L"Reboot 90 min");
  countdown.OnRequest(15, ShutdownType::kReboot);
  EXPECT_EQ(countdown.Countdown(), 0u);
  EXPECT_EQ(bar.Caption(), L"Reboot OFF");
  EXPECT_EQ(bar.Content().icon, osd::BarIcon::ShutdownOff);
  EXPECT_EQ(window->dispatchStatuses.back(), "Reboot OFF");
  window->dispatch->Osd().HideBar();  // the display's end starts nothing
  EXPECT_FALSE(countdown.Ticking());
  EXPECT_TRUE(system->calls().empty());
}

// Each way out of "Remote System Shutdown" cancels; none reads the window
// after it was freed (the poison would hand such a read the canary's handle).
TEST_F(ActionFamilies, AbortEscapeAndTheCloseBoxCancelWithoutTouchingTheClosedWindow) {
  auto& countdown = window->dispatch->Actions().Shutdown();
  const std::pair<const char*, void (*)(HWND)> ways[] = {
      {"Abort", [](HWND w) { SendMessageW(GetDlgItem(w, IDCANCEL), BM_CLICK, 0, 0); }},
      {"Escape", [](HWND w) { SendMessageW(GetDlgItem(w, IDCANCEL), WM_KEYDOWN, VK_ESCAPE, 0); }},
      {"close box", [](HWND w) { SendMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); }}};
  for (const auto& [way, leave] : ways) {
    countdown.OnRequest(5, ShutdownType::kShutdown | kShutdownNoOsd);
    countdown.OnTick();  // 4 s left, within the requested 5: the window opens
    const HWND shutdown = countdown.Window();
    ASSERT_TRUE(shutdown) << way;
    const HWND canary = CreateWindowExW(0, L"STATIC", L"canary", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    {
      CFreedMemoryPoison poison(reinterpret_cast<uintptr_t>(canary));
      leave(shutdown);
      pumpUntil([&] { return countdown.Window() == nullptr; }, 2000);
    }
    EXPECT_TRUE(IsWindow(canary)) << way;
    DestroyWindow(canary);
    EXPECT_FALSE(IsWindow(shutdown)) << way;
    EXPECT_EQ(countdown.Countdown(), 0u) << way;
    EXPECT_FALSE(countdown.Ticking()) << way;
  }
  EXPECT_TRUE(system->calls().empty());
}

TEST_F(ActionFamilies, ACycleDoesNotStopTheShutdownCountdown) {
  auto& countdown = window->dispatch->Actions().Shutdown();
  countdown.OnRequest(60, ShutdownType::kShutdown | kShutdownNoOsd);
  ASSERT_TRUE(countdown.Ticking());
  const auto texts = run(act("Cycle through windows"));
  EXPECT_EQ(texts, (std::vector<std::string>{"Cycling through windows..."}));
  EXPECT_TRUE(pumpUntil([&] { return !engine().CycleFlag(); }, 4000));  // timer 10 ended the cycle
  EXPECT_TRUE(countdown.Ticking());
  EXPECT_LT(countdown.Countdown(), 60u);
  countdown.Abort();
}

TEST_F(ActionFamilies, MuteReportsTheStateAndTheDisplayShowsTheLevelAndTheSpeaker) {
  auto* mixer = new COneLineMixer("Wave");
  engine().Services().mixer.reset(mixer);
  const auto muteRequestValue = [&] {
    for (auto r = window->requests.rbegin(); r != window->requests.rend(); ++r)
      if (r->code == DisplayRequest::kMuteBar) return r->value;
    return int32_t{-1};
  };
  const auto barFor = [&](uint32_t code) {
    DisplayRequest request;
    request.code = code;
    request.text = "Wave";
    request.value = muteRequestValue();
    window->dispatch->Osd().OnDisplayRequest(request);
    return window->dispatch->Osd().BarWindow().Content();
  };
  const int32_t bothChannels = static_cast<int32_t>((40000u << 16) | 40000u);
  EXPECT_EQ(run(act("Mute", "Wave")), (std::vector<std::string>{"Muted Wave"}));
  ASSERT_EQ(window->count(DisplayRequest::kMuteBar), 1);
  EXPECT_EQ(muteRequestValue(), bothChannels);  // the bar's level, not the switch
  osd::BarContent bar = barFor(DisplayRequest::kMuteBar);
  EXPECT_TRUE(bar.muted);
  EXPECT_EQ(bar.level, 40000u);
  EXPECT_EQ(run(act("Mute", "Wave")), (std::vector<std::string>{"Unmuted Wave"}));
  bar = barFor(DisplayRequest::kMuteBar);
  EXPECT_FALSE(bar.muted);
  EXPECT_EQ(bar.level, 40000u);
  // Any bar of a muted line shows the crossed-out speaker.
  mixer->muted = true;
  bar = barFor(DisplayRequest::kVolumeBar);
  EXPECT_TRUE(bar.muted);
  EXPECT_EQ(bar.caption, "Wave Volume");
}

TEST_F(ActionFamilies, SystemActionsGoThroughTheInterface) {
  system->modes = {{800, 600, 32, 60}, {1024, 768, 16, 60}, {1024, 768, 16, 75}};
  system->suspendResult = {false, 50};
  auto texts = run(act("Change display mode", "1024x768 16-Bit"), act("Change display mode", "1024x768 16-Bit @85 Hz"),
                   act("Suspend Windows", "Hibernate"), act("Turn off display"), act("Turn off display"));
  EXPECT_EQ(texts, (std::vector<std::string>{"Display mode changed to  1024x768 16-Bit", "'Change display mode' failed",
                                             "Suspend failed, no APM support", "Display off", "Display on"}));
  EXPECT_EQ(system->calls(), (std::vector<std::string>{"tv 0", "mode 1024x768 16-Bit @60 Hz", "tv 0", "hibernate",
                                                       "display off"}));
}

TEST_F(ActionFamilies, DialUpTextsForEveryOutcome) {
  system->dialResult = {exec::DialResult::Outcome::Failed, "The line is busy."};
  system->hangUpResult = {exec::HangUpResult::Outcome::Failed, "Undefined RAS HangUp Error (5)."};
  auto texts = run(act("Connect", "Office"), act("Disconnect"), act("Connect", ""));
  EXPECT_EQ(texts, (std::vector<std::string>{"Connect failed for Office [The line is busy.]",
                                             "Disconnect failed: Undefined RAS HangUp Error (5)."}));
  // The real service under Wine: a failure, never a crash.
  engine().Services().system = std::make_unique<exec::CWindowsSystemActions>();
  system = nullptr;
  texts = run(act("Connect", "Office"));
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].rfind("Connect failed", 0), 0u) << texts[0];
  exec::CWindowsSystemActions real;
  const auto choices = exec::dialUpChoices(real);
  std::printf("Wine dial-up choices: %zu\n", choices.size());
  CRecordingSystemActions none;
  none.entries = {"Office", "Home"};
  EXPECT_EQ(exec::dialUpChoices(none), none.entries);
}

TEST_F(ActionFamilies, SwitchLayoutReportsTheLayoutOrTheFailure) {
  window->dispatch->SetTree(&tree);
  auto texts = run(act("Switch Layout", "Second"));
  ASSERT_TRUE(lastCommand);
  // The command's own first layout has no "Second": a failure.
  EXPECT_EQ(texts, (std::vector<std::string>{"Switch to layout Second failed"}));
  CCmdArray& second = lastCommand->addLayout("Second");
  second.appendAction(act("Switch Layout", "layout 1"));
  auto command = std::make_unique<CCmdArray>("Switcher");
  command->appendAction(act("Switch Layout", "second"));
  command->addLayout("Second").appendAction(act("Switch Layout", "Layout 1"));
  CCmdArray* switcher = tree.insertCommand(*remote, std::move(command)).command();
  exec::RunOptions options;
  ASSERT_TRUE(engine().StartCommandRun(window->Handle(), exec::RunRequest::byName(tree, "TV", "Switcher", 0), options));
  ASSERT_TRUE(pumpUntil([&] { return !engine().Busy(); }, 5000));
  EXPECT_EQ(window->temporaryTexts().back(), "Switched to layout Second");
  EXPECT_EQ(switcher->activeLayoutNumber(), 1);
}

TEST_F(ActionFamilies, RealDisplayModesAndMixerUnderWine) {
  exec::CWindowsSystemActions real;
  const auto modes = real.displayModes();
  ASSERT_FALSE(modes.empty());
  DEVMODEW current{};
  current.dmSize = sizeof current;
  ASSERT_TRUE(EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &current));
  std::string honoured, refused;
  for (const auto& mode : modes) {
    // Honoured: accepted, and the display then reports the mode as current.
    DEVMODEW now{};
    now.dmSize = sizeof now;
    const bool ok = real.applyDisplayMode(mode) && EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &now) &&
                    now.dmPelsWidth == mode.width && now.dmPelsHeight == mode.height &&
                    now.dmBitsPerPel == mode.bitsPerPixel;
    (ok ? honoured : refused) += displayModeText(mode) + "; ";
  }
  ChangeDisplaySettingsW(&current, 0);
  std::printf("Wine display modes honoured: %s\nrefused: %s\n", honoured.c_str(), refused.c_str());
  EXPECT_EQ(exec::displayModeChoices(real).size(), modes.size());
  EXPECT_FALSE(honoured.empty());
  exec::CWinmmMixer mixer;
  std::string playback, recording;
  for (const auto& l : mixer.lines(MixerDestination::Playback, false)) playback += l + "; ";
  for (const auto& l : mixer.lines(MixerDestination::Recording, false)) recording += l + "; ";
  std::printf("Wine mixer: master \"%s\"; playback volume lines: %s recording: %s\n", mixer.masterLine().c_str(),
              playback.c_str(), recording.c_str());
  int64_t value = 0;
  EXPECT_FALSE(mixer.adjust(MixerKind::Volume, 0, "no such line", MixerDestination::Playback, value));
}

}  // namespace
}  // namespace vexa::test
