#include "vexa/shell/win/instance_guard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "vexa/shell/win/main_window.h"
#include "vexa/winlib/handle.h"
#include "vexa/winlib/message_loop.h"
#include "vexa/winlib/shell_folders.h"
#include "support/quiet_settings.h"

namespace vexa::shell {
namespace {

// A name of our own so that a running program in the same prefix does not interfere.
std::wstring uniqueName() {
  return L"Vexa Instance test " + std::to_wstring(GetCurrentProcessId());
}

TEST(InstanceGuardTest, SecondGuardSeesTheFirstUntilItEnds) {
  const std::wstring name = uniqueName();
  {
    CInstanceGuard first(name);
    ASSERT_TRUE(first.IsFirst());
    CInstanceGuard second(name);
    EXPECT_FALSE(second.IsFirst());
    // The loser must not keep the name alive: a third start still sees the first.
    CInstanceGuard third(name);
    EXPECT_FALSE(third.IsFirst());
  }
  CInstanceGuard afterwards(name);
  EXPECT_TRUE(afterwards.IsFirst());
}

// Runs the program and waits for it to end, handling our windows' messages meanwhile:
// it talks to the first instance's window synchronously.
std::optional<DWORD> runProgram(const std::filesystem::path& exe, DWORD timeoutMs) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + exe.wstring() + L"\"";
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &info)) {
    return std::nullopt;
  }
  win::CHandle process(info.hProcess);
  win::CHandle thread(info.hThread);
  const DWORD deadline = GetTickCount() + timeoutMs;
  HANDLE handle = process.Get();
  while (MsgWaitForMultipleObjects(1, &handle, FALSE, deadline - GetTickCount(), QS_ALLINPUT) ==
         WAIT_OBJECT_0 + 1) {
    win::PumpPendingMessages();
    if (static_cast<LONG>(deadline - GetTickCount()) <= 0) break;
  }
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process.Get(), &code);
  if (code == STILL_ACTIVE) TerminateProcess(process.Get(), 1);
  return code;
}

TEST(InstanceGuardTest, SecondProgramStartEndsAndBringsTheFirstWindowForward) {
  CInstanceGuard guard;  // the program's own name: this test is the first instance
  ASSERT_TRUE(guard.IsFirst()) << "is vexa.exe running in this Wine prefix?";
  CMainWindow window;
  const HICON icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  ASSERT_TRUE(window.Create(icon, icon));
    window.SetProgramSettings(test::settingsWithoutExitQuestion());
  ASSERT_FALSE(IsWindowVisible(window.Handle()));

  const auto exe = win::programFolder() / VEXA_EXE_FROM_TESTS;
  ASSERT_TRUE(std::filesystem::exists(exe)) << exe;
  const auto exitCode = runProgram(exe, 15000);
  ASSERT_TRUE(exitCode.has_value()) << "could not start " << exe;
  EXPECT_EQ(*exitCode, 0u);
  EXPECT_TRUE(IsWindowVisible(window.Handle()));

  window.Exit();
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

}  // namespace
}  // namespace vexa::shell
