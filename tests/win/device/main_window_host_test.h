#pragma once
// A device host with a real main window for it to report to.
#include "device_test_support.h"

#include "vexa/shell/win/main_window.h"
#include "support/quiet_settings.h"

namespace vexa::test {

class MainWindowHostTest : public DeviceHostTest {
 protected:
  void SetUp() override {
    DeviceHostTest::SetUp();
    icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    ASSERT_TRUE(window.Create(icon, icon));
    window.SetProgramSettings(test::settingsWithoutExitQuestion());
    window.SetStartObserver([this](const shell::CommandStart& start) { started.push_back(start); });
  }
  void TearDown() override {
    CloseWindow();
    DeviceHostTest::TearDown();
  }
  // Exit unloads the device while the window still exists; the quit it posts
  // must not reach later tests.
  void CloseWindow() {
    window.Exit();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  HICON icon = nullptr;
  shell::CMainWindow window;
  std::vector<shell::CommandStart> started;  // every command the window started
};

}  // namespace vexa::test
