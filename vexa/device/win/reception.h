#pragma once
// What the host does with the codes a second-generation plug-in delivers: the
// learning window gets them while one is open; otherwise they are matched against
// the code store and become CommandRecords for the main window, a held button with
// a stop code repeated every 80 ms. Runs on the user-interface thread.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "vexa/base/code_page.h"
#include "vexa/device/code_matcher.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/winlib/window.h"

namespace vexa::device {

// The learning window, while it collects codes; it answers the plug-in for them.
class ILearningSink {
 public:
  virtual ~ILearningSink() = default;
  virtual LRESULT OnLearnCode(const std::vector<uint8_t>& bytes) = 0;
  virtual LRESULT OnLearnSample(uint32_t sample) = 0;
};

class CReception : private win::CWindow {
 public:
  struct Options {
    const ICodePage& ansi;                   // of the CommandRecord's names
    std::function<uint64_t()> now100ns;      // for the pauses between samples
    std::function<bool()> timingMode;        // the device's timingMode is 1
  };
  CReception(const CCodeStore& store, Options options);
  ~CReception() override;

  // Where CommandRecords go: the window the device page lives in.
  void SetCommandTarget(HWND window) { m_target = window; }

  // Code 3 and code 4 of the device page; the results are the page's answers.
  LRESULT OnCodeBlock(const abi::CodeBlock* block);
  LRESULT OnTimingSample(uint32_t sample);

  // One learning window at a time; Unregister only removes the sink it names.
  void RegisterLearningSink(ILearningSink* sink) { m_learning = sink; }
  void UnregisterLearningSink(ILearningSink* sink);
  ILearningSink* LearningSink() const { return m_learning; }

  void StopRepeating();

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool EnsureWindow();
  void SendCommand(const CodeMatch& names);

  CCodeMatcher m_matcher;
  Options m_options;
  HWND m_target = nullptr;
  ILearningSink* m_learning = nullptr;
  CodeMatch m_lastTiming;
  bool m_repeating = false;
};

}  // namespace vexa::device
