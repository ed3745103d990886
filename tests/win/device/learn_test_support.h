#pragma once
// The "Learn" window driven through a real device page: codes and samples go
// to the page as a plug-in sends them, buttons are clicked with BM_CLICK.
#include "device_test_support.h"

#include <commctrl.h>

#include "vexa/device/signal_generator.h"
#include "vexa/device/win/device_page.h"
#include "vexa/device/win/learn_dialog.h"
#include "vexa/winlib/tree_view.h"
#include "vexa/winlib/unicode.h"

namespace vexa::test {

class LearnTestBase : public DeviceHostTest {
 protected:
  using Page = device::CDevicePage;
  using Learn = device::CLearnDialog;

  void TearDown() override {
    if (Learn* open = learn()) open->Destroy();
    DeviceHostTest::TearDown();
  }

  // good2 with its record's timing mode and learn samples, and these host sections.
  void selectDevice(int timingMode, int learnSamples, const std::string& hostSections) {
    writeFile(settingsFile("good2"), "[Fake]\r\nInitResult=0\r\nTimingMode=" + std::to_string(timingMode) +
                                         "\r\nLearnSamples=" + std::to_string(learnSamples) + "\r\n" + hostSections);
    ASSERT_TRUE(makeHost().SelectDevice("Fake Receiver", notify.Handle()));
    page = host->Page();
    ASSERT_NE(page, nullptr);
  }

  HWND tree() const { return page->Control(Page::kTree); }
  static std::wstring itemText(HWND tree, HTREEITEM item) { return win::treeItemText(tree, item); }
  // The tree item of a remote, or of one of its buttons.
  HTREEITEM item(const std::wstring& remote, const std::wstring& button = {}) const {
    for (HTREEITEM r = TreeView_GetRoot(tree()); r; r = TreeView_GetNextSibling(tree(), r)) {
      if (itemText(tree(), r) != remote) continue;
      if (button.empty()) return r;
      for (HTREEITEM b = TreeView_GetChild(tree(), r); b; b = TreeView_GetNextSibling(tree(), b))
        if (itemText(tree(), b) == button) return b;
    }
    return nullptr;
  }
  // "Remote/Button" for every button in the tree, in tree order.
  std::vector<std::wstring> treeButtons() const {
    std::vector<std::wstring> all;
    for (HTREEITEM r = TreeView_GetRoot(tree()); r; r = TreeView_GetNextSibling(tree(), r))
      for (HTREEITEM b = TreeView_GetChild(tree(), r); b; b = TreeView_GetNextSibling(tree(), b))
        all.push_back(itemText(tree(), r) + L"/" + itemText(tree(), b));
    return all;
  }

  Learn* learn() const { return host ? Learn::Find(*host) : nullptr; }
  HWND control(UINT id) const { return learn() ? GetDlgItem(learn()->Handle(), static_cast<int>(id)) : nullptr; }
  static std::wstring textOf(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
  }
  int barPosition() const { return static_cast<int>(SendMessageW(control(Learn::kProgress), PBM_GETPOS, 0, 0)); }
  int barRange() const {
    return static_cast<int>(SendMessageW(control(Learn::kProgress), PBM_GETRANGE, FALSE, 0));
  }
  bool storeEnabled() const {
    return IsWindowEnabled(control(IDOK)) && IsWindowEnabled(control(Learn::kLearnAnother));
  }
  void click(UINT id) { SendMessageW(control(id), BM_CLICK, 0, 0); }
  void setNames(const std::wstring& remote, const std::wstring& button) {
    SetWindowTextW(control(Learn::kRemoteBox), remote.c_str());
    SetWindowTextW(control(Learn::kButtonBox), button.c_str());
  }

  // A raw code as a plug-in sends it to the page.
  LRESULT sendCode(std::vector<uint8_t> bytes) {
    abi::CodeBlock block{static_cast<uint32_t>(bytes.size()), bytes.data()};
    return SendMessageW(page->Handle(), abi::kVexaMessage, abi::PageCode::kCodeBlock,
                        reinterpret_cast<LPARAM>(&block));
  }
  LRESULT sendSample(uint32_t sample) {
    return SendMessageW(page->Handle(), abi::kVexaMessage, abi::PageCode::kTimingSample, static_cast<LPARAM>(sample));
  }

  // Fires the Learn window's timers that are due by `until` (earliest first), as
  // the message loop would while the clock moves on.
  void runTimers(uint64_t until) {
    for (;;) {
      Learn* open = learn();
      if (!open) return;
      int due = -1;
      uint64_t when = until + 1;
      for (int id : {kCaptureTimer, kStopCodeTimer, kSilenceTimer})
        if (auto at = open->TimerDue(id); at && *at <= until && *at < when) {
          due = id;
          when = *at;
        }
      if (due < 0) return;
      now100ns = std::max(now100ns, when);
      SendMessageW(open->Handle(), WM_TIMER, static_cast<WPARAM>(due), 0);
    }
  }
  // Samples at their generated times, counted from `start` on the host's clock.
  void feed(const std::vector<TimedSample>& samples, uint64_t start) {
    for (const auto& s : samples) {
      runTimers(start + s.endUs * 10);
      now100ns = start + s.endUs * 10;
      sendSample(s.sample);
    }
  }
  // One press from the generator, then its pause elapses.
  void press(CSignalGenerator& gen, const IrButton& button, int frames) {
    const uint64_t start = now100ns - gen.nowUs() * 10;
    feed(gen.press(button, frames), start);
    now100ns = start + gen.nowUs() * 10;
    runTimers(now100ns);
  }

  Page* page = nullptr;
};

}  // namespace vexa::test
