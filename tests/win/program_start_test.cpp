// The real program started with a command line: "/p" with a quoted path
// loads that preset, stores it at once, and the program quits cleanly.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "vexa/base/code_page.h"
#include "vexa/base/program_messages.h"
#include "vexa/base/program_options.h"
#include "vexa/device/win/device.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/model/cmd.h"
#include "vexa/model/cmd_array.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/presets/config_files.h"
#include "vexa/shell/res/resource.h"
#include "vexa/shell/win/config_location.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/winlib/handle.h"
#include "vexa/winlib/message_loop.h"
#include "vexa/winlib/reg_key.h"
#include "vexa/winlib/shell_folders.h"
#include "vexa/winlib/system_code_page.h"
#include "vexa/winlib/unicode.h"

namespace vexa::shell {
namespace {

namespace fs = std::filesystem;

// The program's registry values and configuration file as they were, put back afterwards.
class SavedProgramState {
 public:
  explicit SavedProgramState(fs::path config) : m_config(std::move(config)) {
    win::CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, device::kProgramRegistryKey)) {
      for (const wchar_t* name : kValues) m_values.push_back(key.QueryDword(name));
      m_currentDevice = key.QueryString(L"Current Device");
    }
    std::error_code ec;
    if (fs::exists(m_config, ec)) {
      m_copy = m_folder.path() / "current.vcp";
      fs::copy_file(m_config, *m_copy, ec);
    }
  }
  ~SavedProgramState() {
    win::CRegKey key;
    if (key.Create(HKEY_CURRENT_USER, device::kProgramRegistryKey)) {
      for (size_t i = 0; i < std::size(kValues); ++i) {
        if (i < m_values.size() && m_values[i]) key.SetDword(kValues[i], *m_values[i]);
        else key.DeleteValue(kValues[i]);
      }
      if (m_currentDevice) key.SetString(L"Current Device", *m_currentDevice);
      else key.DeleteValue(L"Current Device");
    }
    std::error_code ec;
    if (m_copy) fs::copy_file(*m_copy, m_config, fs::copy_options::overwrite_existing, ec);
    else fs::remove(m_config, ec);
  }

 private:
  static constexpr const wchar_t* kValues[] = {L"Options", L"FirstRun", L"ServerPort"};
  fs::path m_config;
  test::CTempFolder m_folder;
  std::optional<fs::path> m_copy;
  std::vector<std::optional<DWORD>> m_values;
  std::optional<std::wstring> m_currentDevice;
};

HWND findProgramWindow() { return FindWindowW(kMainWindowClass, kMainWindowTitle); }

bool waitFor(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    if (done()) return true;
    win::PumpPendingMessages();
    Sleep(50);
  }
  return done();
}

inline const std::wstring kRunningQuestion =
    L"Command execution is in progress.\nDo you want to stop all queued commands?";

// A question box of the program: a dialog titled "Vexa" holding `text`.
HWND findQuestion(const std::wstring& text) {
  for (HWND box = FindWindowW(L"#32770", kMainWindowTitle); box;
       box = FindWindowExW(nullptr, box, L"#32770", kMainWindowTitle)) {
    wchar_t shown[512] = {};
    GetDlgItemTextW(box, 0xFFFF, shown, 512);
    if (text == shown) return box;
  }
  return nullptr;
}

// The option page of another process's main window that holds `control`.
HWND pageWith(HWND window, int control) {
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (GetDlgItem(child, control)) return child;
  return nullptr;
}

// vexa.exe in this prefix, started with `arguments` and ended as a person ends it.
class CProgram {
 public:
  explicit CProgram(const std::wstring& arguments) {
    const fs::path exe = win::programFolder() / VEXA_EXE_FROM_TESTS;
    std::wstring commandLine = L"\"" + exe.wstring() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        exe.parent_path().c_str(), &startup, &info))
      return;
    m_process.Attach(info.hProcess);
    CloseHandle(info.hThread);
  }
  ~CProgram() {
    if (m_process.IsValid() && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT)
      TerminateProcess(m_process.Get(), 1);
  }
  bool Started() const { return m_process.IsValid(); }
  // The main window once start-up is over: it shows itself last, after the
  // settings reached its pages (it exists a while before that).
  HWND Window() {
    waitFor([&] { return (m_window = findProgramWindow()) != nullptr && IsWindowVisible(m_window); }, 20000);
    return m_window;
  }
  // The exit code once the program ended by itself, or nothing when it did not end in time.
  std::optional<DWORD> Ended() {
    if (WaitForSingleObject(m_process.Get(), 15000) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 1;
    GetExitCodeProcess(m_process.Get(), &code);
    return code;
  }
  // "E&xit" with exit confirmation off; the exit code, or nothing when it did not end.
  std::optional<DWORD> Quit() {
    if (m_window) PostMessageW(m_window, WM_COMMAND, CMainWindow::kCmdExit, 0);
    // A command still running (the start-up macro) makes it ask first; Yes stops it.
    const auto ended = [&] {
      if (const HWND box = findQuestion(kRunningQuestion)) PostMessageW(box, WM_COMMAND, IDYES, 0);
      return WaitForSingleObject(m_process.Get(), 0) == WAIT_OBJECT_0;
    };
    if (!waitFor(ended, 15000)) {
      // Say what held it: a box of the program, if any.
      for (HWND box = FindWindowW(L"#32770", nullptr); box; box = FindWindowExW(nullptr, box, L"#32770", nullptr)) {
        wchar_t title[128] = {}, shown[512] = {};
        GetWindowTextW(box, title, 128);
        GetDlgItemTextW(box, 0xFFFF, shown, 512);
        ADD_FAILURE() << "open box \"" << win::toUtf8(title) << "\": " << win::toUtf8(shown);
      }
      return std::nullopt;
    }
    DWORD code = 1;
    GetExitCodeProcess(m_process.Get(), &code);
    return code;
  }

 private:
  win::CHandle m_process;
  HWND m_window = nullptr;
};

void quietStart() {
  win::CRegKey key;
  ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, device::kProgramRegistryKey));
  ASSERT_TRUE(key.SetDword(L"Options", ProgramOptions::kDefaultWord | ProgramOptions::kNoExitConfirmation));
  ASSERT_TRUE(key.SetDword(L"FirstRun", 0));
  ASSERT_TRUE(key.SetString(L"Current Device", L"Keyboard"));
}

TEST(ProgramStartTest, OptionsAppliedOnTheirPagesAreStoredAndShownAfterTheNextStart) {
  const fs::path exe = win::programFolder() / VEXA_EXE_FROM_TESTS;
  const SavedProgramState saved(locateConfigFile(win::appDataFolder(), exe.parent_path()));
  ASSERT_EQ(findProgramWindow(), nullptr) << "is vexa.exe running in this Wine prefix?";
  quietStart();
  {
    CProgram program(L"");
    ASSERT_TRUE(program.Started());
    const HWND window = program.Window();
    ASSERT_NE(window, nullptr);
    const HWND options = pageWith(window, IDC_LEAVE_FOCUS);
    const HWND server = pageWith(window, IDC_SERVER_PORT);
    ASSERT_NE(options, nullptr);
    ASSERT_NE(server, nullptr);
    // As a person does it: the page first, then a click on its box.
    SendMessageW(window, WM_COMMAND,
                 CMainWindow::kCmdShowPage + static_cast<UINT>(CMainWindow::PageId::GeneralOptions), 0);
    ASSERT_TRUE(IsWindowVisible(options));
    SendMessageW(GetDlgItem(options, IDC_LEAVE_FOCUS), BM_CLICK, 0, 0);
    EXPECT_EQ(SendDlgItemMessageW(options, IDC_LEAVE_FOCUS, BM_GETCHECK, 0, 0), BST_CHECKED);
    SetDlgItemTextW(server, IDC_SERVER_PORT, L"8086");
    SendMessageW(window, WM_COMMAND, CMainWindow::kCmdSave, 0);  // "Apply"

    win::CRegKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, device::kProgramRegistryKey));
    EXPECT_EQ(key.QueryDword(L"ServerPort").value_or(0), 8086u);
    EXPECT_NE(key.QueryDword(L"Options").value_or(0) & ProgramOptions::kLeaveFocusAfterKeystroke, 0u);
    EXPECT_EQ(program.Quit(), std::optional<DWORD>(0));
  }
  CProgram again(L"");
  ASSERT_TRUE(again.Started());
  const HWND window = again.Window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(SendDlgItemMessageW(pageWith(window, IDC_LEAVE_FOCUS), IDC_LEAVE_FOCUS, BM_GETCHECK, 0, 0), BST_CHECKED);
  wchar_t port[16] = {};
  GetDlgItemTextW(pageWith(window, IDC_SERVER_PORT), IDC_SERVER_PORT, port, 16);
  EXPECT_STREQ(port, L"8086");
  EXPECT_EQ(again.Quit(), std::optional<DWORD>(0));
}

TEST(ProgramStartTest, PresetGivenWithAQuotedPathHoldingSlashesIsLoadedAndStoredAtOnce) {
  const fs::path exe = win::programFolder() / VEXA_EXE_FROM_TESTS;
  const fs::path config = locateConfigFile(win::appDataFolder(), exe.parent_path());
  const SavedProgramState saved(config);
  ASSERT_EQ(findProgramWindow(), nullptr) << "is vexa.exe running in this Wine prefix?";

  // Quits without asking, so the test can end it like a person would.
  win::CRegKey key;
  ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, device::kProgramRegistryKey));
  ASSERT_TRUE(key.SetDword(L"Options", ProgramOptions::kDefaultWord | ProgramOptions::kNoExitConfirmation));
  ASSERT_TRUE(key.SetString(L"Current Device", L"Keyboard"));

  test::CTempFolder temp;
  fs::create_directories(temp.path() / "a" / "b c");
  CCmdTree preset;
  CCmdItem& remote = preset.insertRemote("Den Remote");
  preset.insertCommand(remote, std::make_unique<CCmdArray>("Lamp"));
  const win::CSystemCodePage codePage;
  saveCommandPart(temp.path() / "a" / "b c" / "Den.vcp", preset, codePage);
  // "/" inside the quotes is part of the path, not the start of an option.
  const std::wstring path = (temp.path() / "a").wstring() + L"/b c\\Den.vcp";

  std::wstring commandLine = L"\"" + exe.wstring() + L"\" /l /p \"" + path + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             exe.parent_path().c_str(), &startup, &info));
  const win::CHandle process(info.hProcess);
  const win::CHandle thread(info.hThread);

  // Stored at once: the configuration file holds the preset's remote.
  const auto storedRemote = [&] {
    CCmdTree stored;
    return fs::exists(config) && loadCommandPart(config, stored, codePage).ok && stored.findRemote("Den Remote");
  };
  EXPECT_TRUE(waitFor(storedRemote, 20000));
  HWND window = nullptr;
  EXPECT_TRUE(waitFor([&] { return (window = findProgramWindow()) != nullptr; }, 5000));
  // Started with a preset, the window stays hidden.
  if (window) EXPECT_FALSE(IsWindowVisible(window));
  // "/l": the configuration log beside the program, once start-up is done.
  const fs::path log = exe.parent_path() / "config.log";
  EXPECT_TRUE(waitFor([&] { return fs::exists(log); }, 5000));
  DWORD firstRun = 1;
  if (key.Open(HKEY_CURRENT_USER, device::kProgramRegistryKey)) firstRun = key.QueryDword(L"FirstRun").value_or(1);
  EXPECT_EQ(firstRun, 0u);

  if (window) PostMessageW(window, WM_COMMAND, CMainWindow::kCmdExit, 0);
  const bool ended = WaitForSingleObject(process.Get(), 15000) == WAIT_OBJECT_0;
  EXPECT_TRUE(ended) << "vexa.exe did not quit";
  if (!ended) TerminateProcess(process.Get(), 1);
  DWORD code = 1;
  GetExitCodeProcess(process.Get(), &code);
  EXPECT_EQ(code, 0u);
  std::error_code ec;
  fs::remove(log, ec);
}

TEST(ProgramStartTest, TheFirstStartWithoutAConfigurationOffersTheSampleAndYesLoadsIt) {
  const fs::path exe = win::programFolder() / VEXA_EXE_FROM_TESTS;
  const fs::path config = locateConfigFile(win::appDataFolder(), exe.parent_path());
  const SavedProgramState saved(config);
  ASSERT_EQ(findProgramWindow(), nullptr) << "is vexa.exe running in this Wine prefix?";
  quietStart();
  win::CRegKey key;
  ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, device::kProgramRegistryKey, KEY_ALL_ACCESS));
  key.DeleteValue(L"FirstRun");
  std::error_code ec;
  fs::remove(config, ec);

  CProgram program(L"");
  ASSERT_TRUE(program.Started());
  HWND question = nullptr;
  const std::wstring text =
      L"This is the first time you start Vexa. Would you like to load a sample configuration?";
  ASSERT_TRUE(waitFor([&] { return (question = findQuestion(text)) != nullptr; }, 20000));
  SendMessageW(question, WM_COMMAND, IDYES, 0);
  // The sample is loaded and stored: its remotes are in the configuration file.
  // Its receiver has no port here, which the program says in a box of its own.
  const win::CSystemCodePage codePage;
  std::vector<std::wstring> told;
  EXPECT_TRUE(waitFor(
      [&] {
        if (const HWND box = FindWindowW(L"#32770", kMainWindowTitle)) {
          wchar_t shown[512] = {};
          GetDlgItemTextW(box, 0xFFFF, shown, 512);
          told.emplace_back(shown);
          SendMessageW(box, WM_COMMAND, IDOK, 0);
        }
        CCmdTree stored;
        return fs::exists(config) && loadCommandPart(config, stored, codePage).ok && stored.findRemote("Vexa Remote");
      },
      20000))
      << ::testing::PrintToString(told);
  EXPECT_EQ(key.QueryDword(L"FirstRun").value_or(1), 0u);
  ASSERT_NE(program.Window(), nullptr);
  EXPECT_EQ(program.Quit(), std::optional<DWORD>(0));
}

// ---- Quitting, declined ------------------------------------------------------------------

// A window of this process that the program's "PostMessage" actions reach; it counts what arrives.
class CPostProbe : public win::CWindow {
 public:
  static constexpr UINT kQuick = WM_USER + 0x20, kLongStart = WM_USER + 0x21, kLongEnd = WM_USER + 0x22;
  CPostProbe() : m_title(L"Vexa post probe " + std::to_wstring(GetCurrentProcessId())) {
    Create(L"VexaPostProbe", m_title, WS_OVERLAPPED);
  }
  std::string Title() const { return win::toUtf8(m_title); }
  int Count(UINT msg) const { return msg == kQuick ? m_quick : msg == kLongStart ? m_longStart : m_longEnd; }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == kQuick) ++m_quick;
    if (msg == kLongStart) ++m_longStart;
    if (msg == kLongEnd) ++m_longEnd;
    return CWindow::OnMessage(msg, wp, lp);
  }

 private:
  std::wstring m_title;
  int m_quick = 0, m_longStart = 0, m_longEnd = 0;
};

std::unique_ptr<CMD> postAction(const std::string& window, UINT msg, int delayMs = 0) {
  auto action = std::make_unique<CMD>();
  action->name = action->typeName = "PostMessage";
  action->fileName = window;
  char text[32];
  std::snprintf(text, sizeof text, "WM_USER+0x%X:0x1:0x2", msg - WM_USER);
  action->param = text;
  if (delayMs > 0) {
    action->flags = CMD::kDelayEnabled;
    action->delay = delayMs;
  }
  return action;
}

constexpr UINT kQuickKey = VK_F9, kLongKey = VK_F10;
constexpr int kLongRunMs = 4000;

// The configuration the program starts with: F9 posts at once; F10 posts, then posts again after a while.
void writeProbeCommands(const fs::path& config, const std::string& probe) {
  CCmdTree tree;
  CCmdItem& remote = tree.insertRemote("Keys");
  auto quick = std::make_unique<CCmdArray>("Quick");
  quick->appendAction(postAction(probe, CPostProbe::kQuick));
  quick->setHotKey(kQuickKey);
  tree.insertCommand(remote, std::move(quick));
  auto slow = std::make_unique<CCmdArray>("Long");
  slow->appendAction(postAction(probe, CPostProbe::kLongStart));
  slow->appendAction(postAction(probe, CPostProbe::kLongEnd, kLongRunMs));
  slow->setHotKey(kLongKey);
  tree.insertCommand(remote, std::move(slow));
  fs::create_directories(config.parent_path());
  saveCommandPart(config, tree, win::CSystemCodePage());
}

// A hot key as the hook module reports it (code 96).
void pressKey(HWND window, UINT key) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, abi::kVexaMessage, ProgramMessage::kHotKeyEvent, key, SMTO_NORMAL, 5000, &result);
}

// Answers the program's question `text` with `button` once it shows. A run that
// has not yet left the engine's list makes quitting ask about it first: Yes.
bool answer(const std::wstring& text, int button) {
  HWND box = nullptr;
  const auto shown = [&] {
    if (const HWND running = text == kRunningQuestion ? nullptr : findQuestion(kRunningQuestion))
      PostMessageW(running, WM_COMMAND, IDYES, 0);
    return (box = findQuestion(text)) != nullptr;
  };
  if (!waitFor(shown, 15000)) {
    ADD_FAILURE() << "no question \"" << win::toUtf8(text) << "\"";
    return false;
  }
  PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
  if (waitFor([&] { return !IsWindow(box); }, 10000)) return true;
  ADD_FAILURE() << "the question \"" << win::toUtf8(text) << "\" stayed open";
  return false;
}

class ProgramQuitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(findProgramWindow(), nullptr) << "is vexa.exe running in this Wine prefix?";
    quietStart();
    writeProbeCommands(config, probe.Title());
  }
  // Starts the program with the exit confirmation as given.
  HWND Start(bool confirmExit) {
    win::CRegKey key;
    key.Create(HKEY_CURRENT_USER, device::kProgramRegistryKey);
    key.SetDword(L"Options",
                 ProgramOptions::kDefaultWord | (confirmExit ? 0u : static_cast<DWORD>(ProgramOptions::kNoExitConfirmation)));
    program = std::make_unique<CProgram>(L"");
    return program->Started() ? program->Window() : nullptr;
  }
  // A press of `key` reaches the probe as `msg`: the execution engine runs.
  bool Runs(HWND window, UINT key, UINT msg) {
    const int before = probe.Count(msg);
    pressKey(window, key);
    return waitFor([&] { return probe.Count(msg) > before; }, 5000);
  }

  const fs::path exe = win::programFolder() / VEXA_EXE_FROM_TESTS;
  const fs::path config = locateConfigFile(win::appDataFolder(), exe.parent_path());
  const SavedProgramState saved{config};
  CPostProbe probe;
  std::unique_ptr<CProgram> program;
};

TEST_F(ProgramQuitTest, NoToQuittingLeavesEveryCommandWorking) {
  const HWND window = Start(true);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(Runs(window, kQuickKey, CPostProbe::kQuick));
  PostMessageW(window, WM_COMMAND, CMainWindow::kCmdExit, 0);
  ASSERT_TRUE(answer(L"Do you really want to quit?", IDNO));
  EXPECT_TRUE(Runs(window, kQuickKey, CPostProbe::kQuick)) << "the press after a declined quit ran nothing";
  PostMessageW(window, WM_COMMAND, CMainWindow::kCmdExit, 0);
  ASSERT_TRUE(answer(L"Do you really want to quit?", IDYES));
  EXPECT_EQ(program->Ended(), std::optional<DWORD>(0));
}

TEST_F(ProgramQuitTest, CancelOfSaveChangesLeavesEveryCommandWorking) {
  const HWND window = Start(false);
  ASSERT_NE(window, nullptr);
  // A change on a page: "Apply" is enabled, so quitting asks about saving.
  SendMessageW(window, WM_COMMAND, CMainWindow::kCmdShowPage + static_cast<UINT>(CMainWindow::PageId::GeneralOptions),
               0);
  SendMessageW(GetDlgItem(pageWith(window, IDC_LEAVE_FOCUS), IDC_LEAVE_FOCUS), BM_CLICK, 0, 0);
  PostMessageW(window, WM_COMMAND, CMainWindow::kCmdExit, 0);
  ASSERT_TRUE(answer(L"Save changes?", IDCANCEL));
  EXPECT_TRUE(Runs(window, kQuickKey, CPostProbe::kQuick)) << "the press after a cancelled quit ran nothing";
  PostMessageW(window, WM_COMMAND, CMainWindow::kCmdExit, 0);
  ASSERT_TRUE(answer(L"Save changes?", IDNO));
  EXPECT_EQ(program->Ended(), std::optional<DWORD>(0));
}

TEST_F(ProgramQuitTest, TheRunningQuestionKeepsTheRunOnNoAndStopsOnlyTheRunsOnYes) {
  const HWND window = Start(true);
  ASSERT_NE(window, nullptr);
  // No: the run in progress goes on to its end.
  ASSERT_TRUE(Runs(window, kLongKey, CPostProbe::kLongStart));
  PostMessageW(window, WM_COMMAND, CMainWindow::kCmdExit, 0);
  ASSERT_TRUE(answer(kRunningQuestion, IDNO));
  EXPECT_TRUE(waitFor([&] { return probe.Count(CPostProbe::kLongEnd) == 1; }, kLongRunMs + 5000));
  // Yes stops the run; declining the quit then leaves the program taking presses.
  ASSERT_TRUE(Runs(window, kLongKey, CPostProbe::kLongStart));
  PostMessageW(window, WM_COMMAND, CMainWindow::kCmdExit, 0);
  ASSERT_TRUE(answer(kRunningQuestion, IDYES));
  ASSERT_TRUE(answer(L"Do you really want to quit?", IDNO));
  EXPECT_TRUE(Runs(window, kQuickKey, CPostProbe::kQuick)) << "the press after a declined quit ran nothing";
  EXPECT_EQ(probe.Count(CPostProbe::kLongEnd), 1) << "the stopped run went on";
  PostMessageW(window, WM_COMMAND, CMainWindow::kCmdExit, 0);
  ASSERT_TRUE(answer(L"Do you really want to quit?", IDYES));
  EXPECT_EQ(program->Ended(), std::optional<DWORD>(0));
}

// A box of the program whose text holds `part`.
HWND findBoxHolding(const std::wstring& part) {
  for (HWND box = FindWindowW(L"#32770", kMainWindowTitle); box;
       box = FindWindowExW(nullptr, box, L"#32770", kMainWindowTitle)) {
    wchar_t shown[2048] = {};
    GetDlgItemTextW(box, 0xFFFF, shown, 2048);
    if (std::wstring(shown).find(part) != std::wstring::npos) return box;
  }
  return nullptr;
}

TEST(ProgramStartTest, AConfigurationThatLoadsWithProblemsIsToldOnceStartUpIsDone) {
  const fs::path exe = win::programFolder() / VEXA_EXE_FROM_TESTS;
  const fs::path config = locateConfigFile(win::appDataFolder(), exe.parent_path());
  const SavedProgramState saved(config);
  ASSERT_EQ(findProgramWindow(), nullptr) << "is vexa.exe running in this Wine prefix?";
  quietStart();

  // The start-up macro starts the marker application; "Stray" (a command
  // outside any remote) is what the load reports.
  test::CTempFolder temp;
  const fs::path started = temp.path() / "wake.start";
  const std::string title = "vexa-wake-" + std::to_string(GetCurrentProcessId());
  const std::string marker = win::toUtf8((win::programFolder() / VEXA_MARKER_APP_FROM_TESTS).wstring());
  const std::string params = "\"" + title + "\" \"" + win::toUtf8(started.wstring()) + "\" \"" +
                             win::toUtf8((temp.path() / "wake.close").wstring()) + "\" 1";
  fs::create_directories(config.parent_path());
  test::writeFile(config, "[Commands\\Startup Macro]\nID=0\n[Commands\\Startup Macro\\Wake]\nID=1\n"
                          "[Commands\\Startup Macro\\Wake\\Layout 1]\nID=1\n"
                          "[Commands\\Startup Macro\\Wake\\Layout 1\\Run]\nID=3\nAction=Execute application\n"
                          "Filename=" + marker + "\nParam=" + params + "\n"
                          "[Commands\\Stray]\nID=1\n[Commands\\Stray\\Layout 1]\nID=1\n");

  CProgram program(L"");
  ASSERT_TRUE(program.Started());
  HWND report = nullptr;
  ASSERT_TRUE(waitFor([&] { return (report = findBoxHolding(L"Commands\\Stray")) != nullptr; }, 20000));
  // With the report on screen the program already runs its commands.
  EXPECT_TRUE(waitFor([&] { return fs::exists(started); }, 10000));
  EXPECT_TRUE(IsWindow(report));
  SendMessageW(report, WM_COMMAND, IDOK, 0);
  HWND wake = nullptr;
  if (waitFor([&] { return (wake = FindWindowW(nullptr, win::toWide(title).c_str())) != nullptr; }, 5000))
    PostMessageW(wake, WM_CLOSE, 0, 0);
  ASSERT_NE(program.Window(), nullptr);
  EXPECT_EQ(program.Quit(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace vexa::shell
