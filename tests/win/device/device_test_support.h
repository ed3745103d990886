#pragma once
// The device host's Wine tests: a host set up on a private folder and registry key,
// reporting to a recording window.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "support/win/pump.h"
#include "support/win/recording_window.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/device/win/device.h"
#include "vexa/device/win/device_page.h"
#include "vexa/winlib/message_loop.h"
#include "vexa/winlib/module.h"
#include "vexa/winlib/reg_key.h"
#include "vexa/winlib/shell_folders.h"
#include "vexa/winlib/window.h"

namespace vexa::test {

// Runs the page's context menu on `item` as if the user chose `command`.
inline void chooseFromContextMenu(device::CDevicePage& page, HTREEITEM item, UINT command) {
  page.SetMenuTracker([command](HMENU, POINT) { return command; });
  page.RunContextMenu(item, {0, 0});
  page.SetMenuTracker({});
}

// A host on a fresh application-data folder and registry key, with recorded messages.
class DeviceHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    registryKey = L"Software\\Marlix\\VexaTest\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                  std::to_wstring(++counter);
    ASSERT_TRUE(notify.Create());
  }
  void TearDown() override {
    host.reset();
    notify.Destroy();
    win::CRegKey root;
    if (root.Open(HKEY_CURRENT_USER, L"Software\\Marlix", KEY_ALL_ACCESS)) root.DeleteTree(L"VexaTest");
  }

  device::CDevice& makeHost() {
    device::DeviceHostOptions options;
    options.programFolder = win::programFolder();
    options.appDataFolder = appData.path();
    options.registryKey = registryKey;
    options.prompt = &prompt;
    if (fakeClock) options.clock = [this] { return now100ns; };
    host = std::make_unique<device::CDevice>(std::move(options));
    host->SetNotifyWindow(notify.Handle());
    return *host;
  }

  std::filesystem::path settingsFile(const std::string& stem) const { return appData.path() / "Vexa" / (stem + ".vdp"); }

  // Writes good2's settings file: what OnInit answers, which codes it sends, learned codes.
  void writeGood2Settings(int initResult, const std::string& codes, const std::string& hostSections = {}) {
    writeFile(settingsFile("good2"), "[Fake]\r\nInitResult=" + std::to_string(initResult) + "\r\nCodes=" + codes +
                                         "\r\n" + hostSections);
  }

  template <class Fn>
  Fn fakeExport(const char* module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(module), name)));
  }

  CTempFolder appData;
  std::wstring registryKey;
  CRecordingWindow notify;
  std::unique_ptr<device::CDevice> host;
  std::vector<std::wstring> errors;
  std::vector<std::wstring> questions;
  struct MessageBoxEntry {
    std::wstring text, title;
    UINT type;
  };
  std::vector<MessageBoxEntry> boxes;  // the device's dialogs' message boxes
  bool answerYes = true;
  // Errors and questions of the host itself are titled "Vexa"; its dialogs' boxes have their own titles.
  win::CPromptFunction prompt{[this](const std::wstring& text, const std::wstring& title, UINT type) {
    const bool yesNo = (type & MB_TYPEMASK) == MB_YESNO;
    if (title == L"Vexa" && (type & MB_ICONMASK) == MB_ICONERROR) {
      errors.push_back(text);
    } else if (title == L"Vexa" && yesNo) {
      questions.push_back(text);
    } else {
      boxes.push_back({text, title, type});
    }
    return yesNo ? (answerYes ? IDYES : IDNO) : IDOK;
  }};
  // With fakeClock set before makeHost, the host's clock is now100ns.
  bool fakeClock = false;
  uint64_t now100ns = 133000000000000000ull;
};

}  // namespace vexa::test
