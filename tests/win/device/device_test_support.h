#pragma once
// Shared pieces of the device host's Wine tests: a recording notify window, message
// pumping with a deadline, and a host set up on a private folder and registry key.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "temp_folder.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/device/win/device.h"
#include "vexa/winlib/message_loop.h"
#include "vexa/winlib/module.h"
#include "vexa/winlib/reg_key.h"
#include "vexa/winlib/shell_folders.h"
#include "vexa/winlib/window.h"

namespace vexa::test {

// Pumps messages until pred() holds or the time is up.
inline bool pumpUntil(const std::function<bool()>& pred, unsigned timeoutMs = 5000) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!pred()) {
    if (GetTickCount64() >= deadline) return false;
    win::WaitDispatchingMessages(nullptr, 10);
  }
  return true;
}

struct StatusEntry {
  unsigned code;
  std::string text;
  bool hadText;
};

struct ReceivedRecord {
  std::string remote, command;
  int repeat;
};

// Stands in for the main window: records statuses and command records, frees what
// it is sent and answers 1, as the main window does (or 0 without freeing when told).
class CRecordingWindow : public win::CWindow {
 public:
  bool Create() {
    return CWindow::Create(L"VexaTestNotifyWindow", L"Vexa device test", WS_OVERLAPPEDWINDOW, 0,
                           {0, 0, 640, 480});
  }
  std::vector<StatusEntry> statuses;
  std::vector<ReceivedRecord> records;
  bool takeTexts = true;
  int settingsChanged = 0;

  bool sawStatus(unsigned code, const std::string& text) const {
    for (const auto& s : statuses)
      if (s.code == code && s.text == text) return true;
    return false;
  }
  bool sawCode(unsigned code) const {
    for (const auto& s : statuses)
      if (s.code == code) return true;
    return false;
  }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg != abi::kVexaMessage) return CWindow::OnMessage(msg, wp, lp);
    if (wp == abi::MainCode::kCommand) {
      auto* record = reinterpret_cast<abi::CommandRecord*>(lp);
      records.push_back({std::string(record->remote, abi::fieldLength(record->remote)),
                         std::string(record->command, abi::fieldLength(record->command)), record->repeatCount});
      delete record;
      return 1;
    }
    if (wp == abi::MainCode::kCodeBlock || wp == abi::MainCode::kTimingSample) {
      const HWND page = FindWindowExW(Handle(), nullptr, nullptr, L"VEXADeviceConfig");
      return page ? SendMessageW(page, msg, wp, lp) : 0;
    }
    if (wp == abi::MainCode::kSettingsChanged) ++settingsChanged;
    if (wp < 99) return 1;
    char* text = reinterpret_cast<char*>(lp);
    statuses.push_back({static_cast<unsigned>(wp), text ? text : "", text != nullptr});
    if (!takeTexts) return 0;
    delete[] text;
    return 1;
  }
};

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
    options.showError = [this](const std::wstring& text) { errors.push_back(text); };
    options.askYesNo = [this](const std::wstring& question) {
      questions.push_back(question);
      return answerYes;
    };
    options.messageBox = [this](const std::wstring& text, const std::wstring& title, UINT type) {
      boxes.push_back({text, title, type});
      return (type & MB_TYPEMASK) == MB_YESNO ? (answerYes ? IDYES : IDNO) : IDOK;
    };
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
  // With fakeClock set before makeHost, the host's clock is now100ns.
  bool fakeClock = false;
  uint64_t now100ns = 133000000000000000ull;
};

}  // namespace vexa::test
