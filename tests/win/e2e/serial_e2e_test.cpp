// A button press from end to end: a receiver on COM6 answers serial.dll's
// initialisation on COM5 and sends code bytes; the device host matches them
// against the codes learned in serial.vdp, and the main window starts the commands.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "main_window_host_test.h"
#include "support/win/receiver_sim.h"
#include "vexa/device/plugin_list.h"
#include "vexa/device/win/device_selection_page.h"
#include "support/win/input_recorder.h"
#include "vexa/exec/win/exec_engine.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/shell/win/command_dispatch.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/winlib/unicode.h"

namespace vexa::test {
namespace {

using shell::CMainWindow;

constexpr const char* kGeneric = "Generic Serial IR Receiver";
constexpr const char* kUrcr = "URCR 1.2";
constexpr const char* kRemote = "Living Room";
constexpr const char* kPluginPort = "COM5";
constexpr const char* kReceiverPort = "\\\\.\\COM6";
constexpr unsigned kCommandTimeoutMs = 3000;
// A code takes well under 200 ms from the receiver to the window under Wine.
constexpr unsigned kNoCommandWaitMs = 600;
constexpr unsigned kPressGapMs = 150;

struct LearnedButton {
  const char* name;
  std::string code;
};

// Two letters per byte: 'A' + low nibble, then 'A' + high nibble.
std::string binaryText(const std::string& bytes) {
  std::string text;
  for (unsigned char b : bytes) {
    text += static_cast<char>('A' + (b & 0x0F));
    text += static_cast<char>('A' + (b >> 4));
  }
  return text;
}

std::vector<LearnedButton> learnedButtons(size_t codeLength) {
  std::vector<LearnedButton> buttons = {{"Power", std::string("\x52\x40\x10\x00\x00\x00\x00\x00", 8)},
                                        {"Mute", std::string("\x52\x41\x11\x01\x00\x00\x00\x00", 8)},
                                        {"Volume Up", std::string("\x52\x42\x3C\x02\x00\x00\x00\x00", 8)}};
  for (auto& button : buttons) button.code.resize(codeLength);
  return buttons;
}

double millisecondsSince(LARGE_INTEGER start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER clockNow() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

// Wine 8 can crash when a DLL with a TLS directory (every mingw-built one) is
// mapped while another thread of the process starts or ends. The host maps and
// unmaps serial.dll at every scan and selection, so the program keeps one
// reference from before its first thread: the later loads only count.
class CKeepSerialDllMapped : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(m_module.Load(win::programFolder() / L"devices" / L"serial.dll")); }
  void TearDown() override { m_module.Close(); }

 private:
  win::CModule m_module;
};

[[maybe_unused]] const auto* const kKeepSerialDllMapped = ::testing::AddGlobalTestEnvironment(new CKeepSerialDllMapped);

// One receiver set-up: the model chosen in the host and the plug-in's own settings.
struct ReceiverCase {
  const char* label;
  const char* model;
  std::string deviceSettings;  // the plug-in's "DeviceSettings" section, if any
  size_t codeLength;           // what the receiver sends per button
  bool sendsInit;
};

class SerialEndToEndTest : public MainWindowHostTest {
 protected:
  void TearDown() override {
    CloseWindow();
    receiver.reset();
    DeviceHostTest::TearDown();
  }

  // serial.vdp as the host keeps it: the plug-in's sections (with short controller
  // timings: the simulated receiver needs no reset pulse), then the host's.
  void writeSettings(const char* model, const std::string& deviceSettings, size_t codeLength,
                     const char* port = kPluginPort) {
    std::string text = "[AdancedSettings]\r\nReset=5\r\nPowerUp=5\r\nTxDDelay=5\r\nRxDDelay=5\r\n";
    text += deviceSettings;
    text += "[Device Config]\r\nDeviceName=" + std::string(model) + "\r\nCOM Port=" + port + "\r\n";
    text += "[" + std::string(kRemote) + "]\r\ndwTolerance=0\r\ndwMode=0\r\n";
    for (const auto& button : learnedButtons(codeLength))
      text += "[" + std::string(button.name) + "@" + kRemote + "]\r\nFlags=32\r\nSignature=" + binaryText(button.code) +
              "\r\n";
    writeFile(settingsFile("serial"), text);
  }

  bool startReceiver(Answer answer) {
    receiver.reset();  // the far end is opened exclusively
    receiver = std::make_unique<CReceiverSim>(answer);
    return receiver->Start(kReceiverPort);
  }

  device::CDevice& attachHost() {
    device::CDevice& host = makeHost();
    window.AttachDevice(&host);
    return host;
  }

  // Selects the model the way the selection page does, without its message boxes.
  bool select(device::CDevice& host, const char* model) {
    if (!host.SelectDevice(model, window.Handle())) return false;
    window.RefreshDevicePage();
    return true;
  }

  HWND selector1List(device::CDevice& host) {
    return reinterpret_cast<HWND>(
        SendMessageW(host.PageHandle(), abi::kVexaMessage, abi::PageCode::kSelector1List, 0));
  }

  std::string selector1Text(device::CDevice& host) {
    char text[64] = {};
    GetWindowTextA(selector1List(host), text, sizeof text);
    return text;
  }

  // Sends a code and waits until the main window started one more command (or not).
  // Presses are apart as a person's are: the plug-in drops whatever arrives
  // before it waits again after a code (or after its start).
  bool press(const std::string& code, double* latencyMs = nullptr, unsigned timeoutMs = kCommandTimeoutMs) {
    pumpUntil([] { return false; }, kPressGapMs);
    const size_t before = started.size();
    const LARGE_INTEGER sent = clockNow();
    if (!receiver->Send(code)) return false;
    const bool began = pumpUntil([&] { return started.size() > before; }, timeoutMs);
    if (latencyMs) *latencyMs = millisecondsSince(sent);
    return began;
  }

  std::unique_ptr<CReceiverSim> receiver;
};

// ---- Receivers that work --------------------------------------------------------------------

class SerialReceiverTest : public SerialEndToEndTest, public ::testing::WithParamInterface<ReceiverCase> {};

TEST_P(SerialReceiverTest, LearnedButtonsBecomeCommandStartsAndOthersDoNot) {
  const ReceiverCase& c = GetParam();
  writeSettings(c.model, c.deviceSettings, c.codeLength);
  ASSERT_TRUE(startReceiver(c.sendsInit ? Answer::kIrman : Answer::kSilent));
  device::CDevice& host = attachHost();
  ASSERT_TRUE(select(host, c.model));
  EXPECT_EQ(selector1Text(host), kPluginPort);  // the saved choice, not the first port
  ASSERT_TRUE(host.StartSession(true)) << "init result " << host.LastInitResult();
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(receiver->InitsSeen(), c.sendsInit ? 1 : 0);
  if (!c.sendsInit) {
    EXPECT_EQ(receiver->Received(), "");
  }
  ASSERT_TRUE(pumpUntil([&] { return host.IsRunning() && window.IsDeviceReady(); }));
  EXPECT_EQ(window.Tray(), CMainWindow::TrayState::Ready);

  std::vector<std::string> pressed;
  double slowest = 0;
  for (const auto& button : learnedButtons(c.codeLength)) {
    double latency = 0;
    ASSERT_TRUE(press(button.code, &latency)) << button.name;
    slowest = std::max(slowest, latency);
    pressed.push_back(button.name);
  }
  // The same button again: a new press each time, not a repeat.
  ASSERT_TRUE(press(learnedButtons(c.codeLength)[0].code));
  pressed.push_back("Power");
  std::string unknown(c.codeLength, '\x77');
  EXPECT_FALSE(press(unknown, nullptr, kNoCommandWaitMs)) << "an unlearned code started a command";

  ASSERT_EQ(started.size(), pressed.size());
  for (size_t i = 0; i < pressed.size(); ++i) {
    EXPECT_EQ(started[i].remote, kRemote);
    EXPECT_EQ(started[i].command, pressed[i]);
    EXPECT_EQ(started[i].repeat, 0);
  }
  EXPECT_EQ(window.StatusText(), L"Living Room: Power");
  std::printf("[ e2e      ] %s: slowest press to command start %.0f ms\n", c.label, slowest);
}

INSTANTIATE_TEST_SUITE_P(
    Models, SerialReceiverTest,
    ::testing::Values(
        // Preset: 57600 baud, "IR" -> "OK", 50-byte codes; an Irman-like burst of 6 bytes
        // ends on the 50 ms gap and is delivered as it is.
        ReceiverCase{"URCR 1.2", kUrcr, "", 6, true},
        // The model list does not offer "Irman": the generic model with its settings.
        ReceiverCase{"Irman settings", kGeneric,
                     "[DeviceSettings]\r\nInit=IR\r\nResponse=OK\r\nIRCodeLength=6\r\nLearnSamples=2\r\n", 6, true},
        // A receiver that needs no waking: nothing is sent, nothing awaited, 4-byte codes.
        ReceiverCase{"Generic, no init", kGeneric, "[DeviceSettings]\r\nInit=\r\nResponse=\r\nIRCodeLength=4\r\n", 4,
                     false}),
    [](const ::testing::TestParamInfo<ReceiverCase>& info) {
      std::string name;
      for (const char* p = info.param.label; *p; ++p)
        if (isalnum(static_cast<unsigned char>(*p))) name += *p;
      return name;
    });

TEST_F(SerialEndToEndTest, IrmanIsNotOfferedByTheModelList) {
  device::CDevice& host = attachHost();
  const auto names = host.AllDeviceNames();
  EXPECT_EQ(names, (std::vector<std::string>{kUrcr, "Silitek SM-1000", "RealMagic Hollywood+", kGeneric,
                                             "Redlink 105 TV", "miroMEDIA remote"}));
  EXPECT_FALSE(host.SelectDevice("Irman", window.Handle()));
  EXPECT_EQ(host.Current(), nullptr);
}

TEST_F(SerialEndToEndTest, StartUpSelectsAndStartsTheSavedDevice) {
  writeSettings(kGeneric, "[DeviceSettings]\r\nInit=IR\r\nResponse=OK\r\nIRCodeLength=6\r\n", 6);
  win::CRegKey key;
  ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, registryKey));
  ASSERT_TRUE(key.SetString(L"Current Device", L"Generic Serial IR Receiver"));
  ASSERT_TRUE(startReceiver(Answer::kIrman));
  device::CDevice& host = attachHost();
  ASSERT_TRUE(device::startSavedDevice(host, window.Handle()));
  window.RefreshDevicePage();
  EXPECT_EQ(host.DeviceName(), kGeneric);
  ASSERT_TRUE(press(learnedButtons(6)[1].code));
  EXPECT_EQ(started.back().command, "Mute");
}

// ---- Initialisation failures -----------------------------------------------------------------

struct FailureCase {
  const char* label;
  Answer answer;
  int result;
  const char* message;
};

class SerialInitFailureTest : public SerialEndToEndTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SerialInitFailureTest, IsReportedAndLeavesThePortFreeForTheNextTry) {
  const FailureCase& c = GetParam();
  writeSettings(kUrcr, "", 6);
  ASSERT_TRUE(startReceiver(c.answer));
  device::CDevice& host = attachHost();
  ASSERT_TRUE(select(host, kUrcr));
  EXPECT_FALSE(host.StartSession(true));
  EXPECT_EQ(host.LastInitResult(), c.result);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], win::toWide(c.message));
  EXPECT_FALSE(host.HasMonitorThread());
  EXPECT_FALSE(host.IsInitialized());
  EXPECT_FALSE(window.IsDeviceReady());
  EXPECT_EQ(window.StatusText(), win::toWide(device::kMsgNotProperlyInitialised));
  EXPECT_EQ(receiver->InitsSeen(), 1);
  EXPECT_FALSE(press(learnedButtons(6)[0].code, nullptr, kNoCommandWaitMs));

  // The plug-in closed the port: with a receiver that answers, the Initialize button works.
  ASSERT_TRUE(startReceiver(Answer::kIrman));
  ASSERT_TRUE(host.RestartDevice()) << "init result " << host.LastInitResult();
  EXPECT_TRUE(press(learnedButtons(6)[0].code));
}

INSTANTIATE_TEST_SUITE_P(Answers, SerialInitFailureTest,
                         ::testing::Values(FailureCase{"NoAnswer", Answer::kSilent, 2,
                                                       "Initialization failed.\nNo response from device."},
                                           FailureCase{"WrongAnswer", Answer::kWrong, 3,
                                                       "Initialization failed.\nBad response from device."}),
                         [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.label); });

TEST_F(SerialEndToEndTest, APortThatIsGoneCannotBeOpened) {
  writeSettings(kGeneric, "[DeviceSettings]\r\nInit=IR\r\nResponse=OK\r\nIRCodeLength=6\r\n", 6);
  device::CDevice& host = attachHost();
  ASSERT_TRUE(select(host, kGeneric));
  // The page lists only ports that exist; this one went away after the list was filled.
  const HWND list = selector1List(host);
  const LRESULT index = SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("COM42"));
  SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  EXPECT_FALSE(host.StartSession(true));
  EXPECT_EQ(host.LastInitResult(), 1);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], L"Initialization failed.\nDevice is in use by another application.");
  EXPECT_FALSE(host.HasMonitorThread());
}

// ---- Stopping ------------------------------------------------------------------------------

TEST_F(SerialEndToEndTest, StoppingEndsTheMonitorWellWithinTheLimitAndFreesThePort) {
  writeSettings(kUrcr, "", 6);
  ASSERT_TRUE(startReceiver(Answer::kIrman));
  device::CDevice& host = attachHost();
  ASSERT_TRUE(select(host, kUrcr));
  ASSERT_TRUE(host.StartSession(true));
  ASSERT_TRUE(press(learnedButtons(6)[2].code));

  const LARGE_INTEGER idleStop = clockNow();
  host.StopSession();
  const double idleMs = millisecondsSince(idleStop);
  EXPECT_LT(idleMs, abi::kMonitorStopTimeoutMs);
  ASSERT_TRUE(host.LastMonitorExitCode().has_value());
  EXPECT_EQ(*host.LastMonitorExitCode(), 0u) << "the monitor was terminated, not stopped";
  EXPECT_FALSE(host.IsRunning());
  EXPECT_EQ(window.StatusText(), L"Device deactivated");
  EXPECT_FALSE(press(learnedButtons(6)[0].code, nullptr, kNoCommandWaitMs)) << "a code reached the window after the stop";

  // Again, stopped while a 50-byte code is still arriving.
  host.ReleaseDevice();
  ASSERT_TRUE(host.StartSession(true));
  EXPECT_EQ(receiver->InitsSeen(), 2);
  ASSERT_TRUE(pumpUntil([&] { return host.IsRunning(); }));
  ASSERT_TRUE(receiver->Send(std::string(3, '\x52')));
  const LARGE_INTEGER busyStop = clockNow();
  host.StopSession();
  const double busyMs = millisecondsSince(busyStop);
  EXPECT_LT(busyMs, abi::kMonitorStopTimeoutMs);
  EXPECT_EQ(host.LastMonitorExitCode().value_or(1), 0u);
  std::printf("[ e2e      ] stop: idle %.0f ms, during a code %.0f ms\n", idleMs, busyMs);

  // Leaving the program releases the port for other programs.
  window.Exit();
  EXPECT_EQ(host.Current(), nullptr);
  const HANDLE port = CreateFileA("\\\\.\\COM5", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(port, INVALID_HANDLE_VALUE) << "COM5 is still open, error " << GetLastError();
  if (port != INVALID_HANDLE_VALUE) CloseHandle(port);
}

// ---- A press that acts on another program ---------------------------------------------------

std::unique_ptr<CMD> action(std::string_view type, std::string field1, std::string field2) {
  auto a = std::make_unique<CMD>();
  a->name = std::string(type);
  a->typeName = std::string(type);
  a->fileName = std::move(field1);
  a->param = std::move(field2);
  return a;
}

TEST_F(SerialEndToEndTest, APressTypesIntoAndPostsToAWindowOfAnotherProcess) {
  const std::string title = "Vexa e2e recorder " + std::to_string(GetCurrentProcessId());
  const auto record = appData.path() / "recorder.txt";
  const HWND recorder = startInputRecorder(title, record);
  ASSERT_TRUE(recorder);
  struct Cleanup {
    HWND w;
    ~Cleanup() { endInputRecorder(w); }
  } cleanup{recorder};

  CCmdTree tree;
  CCmdItem& remote = tree.insertRemote(kRemote);
  auto command = std::make_unique<CCmdArray>("Mute");
  command->appendAction(action("Keystroke to window", title + " (VexaInputRecorder)", "Hi"));
  command->appendAction(action("PostMessage", title, "WM_USER+0x20:0x1:0x2"));
  tree.insertCommand(remote, std::move(command));

  writeSettings(kGeneric, "[DeviceSettings]\r\nInit=\r\nResponse=\r\nIRCodeLength=4\r\n", 4);
  ASSERT_TRUE(startReceiver(Answer::kSilent));
  device::CDevice& host = attachHost();
  ASSERT_TRUE(select(host, kGeneric));
  window.SetCommandTree(&tree);
  ASSERT_TRUE(host.StartSession(true));
  ASSERT_TRUE(pumpUntil([&] { return host.IsRunning() && window.IsDeviceReady(); }));
  SetForegroundWindow(window.Handle());
  ASSERT_TRUE(press(learnedButtons(4)[1].code));
  EXPECT_TRUE(waitForLine(record, "msg 420 1 2", 5000)) << ::testing::PrintToString(fileLines(record));
  const auto got = fileLines(record);
  const auto at = [&](const std::string& line) { return std::find(got.begin(), got.end(), line) - got.begin(); };
  EXPECT_LT(at("char 72"), at("char 105"));  // "H" then "i", before the message
  EXPECT_LT(at("char 105"), at("msg 420 1 2"));
  // The run's threads end before the host unmaps serial.dll at exit: Wine can
  // hang when a thread ends while a DLL with TLS is unmapped.
  pumpUntil([&] { return !window.Dispatch()->Engine().Busy(); }, 5000);
  pumpFor(1500);
  window.Dispatch()->Engine().Shutdown();
  pumpFor(200);
  window.SetCommandTree(nullptr);
}

// ---- A held button ---------------------------------------------------------------------------

// "Power" posts 1 to the recorder; held for a second it runs "Standby", which posts 2.
class HeldButtonEndToEndTest : public SerialEndToEndTest {
 protected:
  static constexpr uint32_t kHoldMs = 1000;
  // The time-out that ends a press, wider than the default so that a slow
  // moment of Wine between two frames does not end a hold early.
  static constexpr uint32_t kRepThresholdMs = 450;
  static constexpr unsigned kFrameGapMs = 100;

  void SetUp() override {
    SerialEndToEndTest::SetUp();
    title = "Vexa held recorder " + std::to_string(GetCurrentProcessId());
    record = appData.path() / "held.txt";
    recorder = startInputRecorder(title, record);
    ASSERT_TRUE(recorder);
    CCmdItem& remote = tree.insertRemote(kRemote);
    auto power = std::make_unique<CCmdArray>("Power");
    power->appendAction(action("PostMessage", title, "WM_USER+0x20:0x1:0x0"));
    CCmdItem& powerItem = tree.insertCommand(remote, std::move(power));
    auto standby = std::make_unique<CCmdArray>("Standby");
    standby->appendAction(action("PostMessage", title, "WM_USER+0x20:0x2:0x0"));
    CCmdItem& standbyItem = tree.insertCommand(remote, std::move(standby));
    ASSERT_EQ(tree.holds().set(tree, powerItem, kHoldMs, standbyItem.command()), CHoldTable::SetResult::Set);

    writeSettings(kGeneric, "[DeviceSettings]\r\nInit=\r\nResponse=\r\nIRCodeLength=4\r\n", 4);
    ASSERT_TRUE(startReceiver(Answer::kSilent));
    device::CDevice& host = attachHost();
    ASSERT_TRUE(select(host, kGeneric));
    window.SetCommandTree(&tree);
    shell::DispatchSettings settings = shell::DispatchSettings::fromRegistry();
    settings.repThresholdMs = kRepThresholdMs;
    window.Dispatch()->ApplySettings(settings);
    ASSERT_TRUE(host.StartSession(true));
    ASSERT_TRUE(pumpUntil([&] { return host.IsRunning() && window.IsDeviceReady(); }));
  }

  void TearDown() override {
    // Runs end before the host unmaps serial.dll (see the test above).
    pumpUntil([&] { return !window.Dispatch()->Engine().Busy(); }, 5000);
    window.Dispatch()->Engine().Shutdown();
    pumpFor(200);
    window.SetCommandTree(nullptr);
    endInputRecorder(recorder);
    SerialEndToEndTest::TearDown();
  }

  // The button's frame, again and again for `holdMs` as a held button sends it.
  void holdPower(unsigned holdMs) {
    const std::string code = learnedButtons(4)[0].code;
    pumpFor(kPressGapMs);  // the plug-in waits for codes again only a moment after its start
    const DWORD start = GetTickCount();
    do {
      ASSERT_TRUE(receiver->Send(code));
      pumpFor(kFrameGapMs);
    } while (GetTickCount() - start < holdMs);
  }

  size_t count(const std::string& line) {
    const auto lines = fileLines(record);
    return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
  }

  std::string title;
  std::filesystem::path record;
  HWND recorder = nullptr;
  CCmdTree tree;
};

TEST_F(HeldButtonEndToEndTest, OneFrameRunsTheButtonsOwnCommand) {
  holdPower(0);
  EXPECT_TRUE(waitForLine(record, "msg 420 1 0", 5000)) << ::testing::PrintToString(fileLines(record));
  pumpFor(kRepThresholdMs + 300);
  EXPECT_EQ(count("msg 420 1 0"), 1u);
  EXPECT_EQ(count("msg 420 2 0"), 0u);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].command, "Power");
  EXPECT_EQ(started[0].repeat, 0);
}

TEST_F(HeldButtonEndToEndTest, FramesForLongerThanTheHoldTimeRunTheHeldCommandOnceAndNotTheButtons) {
  holdPower(1500);
  EXPECT_TRUE(waitForLine(record, "msg 420 2 0", 5000)) << ::testing::PrintToString(fileLines(record));
  pumpFor(kRepThresholdMs + 300);  // past the end of the press: nothing more may run
  EXPECT_EQ(count("msg 420 2 0"), 1u) << ::testing::PrintToString(fileLines(record));
  EXPECT_EQ(count("msg 420 1 0"), 0u) << ::testing::PrintToString(fileLines(record));
  EXPECT_TRUE(started.empty()) << "the button's own command started";
}

}  // namespace
}  // namespace vexa::test
