// The real program started with a command line: "/p" with a quoted path
// loads that preset, stores it at once, and the program quits cleanly.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <fstream>
#include <optional>
#include <string>

#include "support/temp_folder.h"
#include "vexa/base/code_page.h"
#include "vexa/base/program_options.h"
#include "vexa/device/win/device.h"
#include "vexa/model/cmd_array.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/presets/config_files.h"
#include "vexa/shell/win/config_location.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/winlib/handle.h"
#include "vexa/winlib/message_loop.h"
#include "vexa/winlib/reg_key.h"
#include "vexa/winlib/shell_folders.h"
#include "vexa/winlib/system_code_page.h"

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
  static constexpr const wchar_t* kValues[] = {L"Options", L"FirstRun"};
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

}  // namespace
}  // namespace vexa::shell
