#pragma once
// The "Learn" window: collects a button's codes through the learning state
// machines while it is the host's learning sink, and stores the result in the
// code store. It deletes itself when closed.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "vexa/device/byte_learner.h"
#include "vexa/device/timing_learner.h"
#include "vexa/device/win/reception.h"
#include "vexa/winlib/gdi.h"
#include "vexa/winlib/window.h"

namespace vexa::device {

class CDevice;

inline constexpr const wchar_t* kLearnWindowClass = L"VexaLearnWindow";

class CLearnDialog : public win::CWindow, private ILearnView, public ILearningSink {
 public:
  enum ControlId : UINT { kRemoteBox = 400, kButtonBox, kProgress, kLed, kInstruction, kLearnAnother };

  // `stored` runs after a code was stored (refresh the tree, mark settings changed).
  static CLearnDialog* Open(CDevice& device, HWND owner, const std::string& remote, const std::string& button,
                            std::function<void()> stored);

  // The open "Learn" window of this device, if any.
  static CLearnDialog* Find(CDevice& device);

  bool TimingMode() const { return m_timing; }
  int Progress() const { return m_position; }
  LedState Led() const { return m_led; }
  // When an armed timer is due on the device's clock, for driving the window without waiting.
  std::optional<uint64_t> TimerDue(int id) const;
  // OK's work without closing; false when a check or a question stopped it.
  bool StoreCode();

  // ILearningSink: the host hands it every code while it is open.
  LRESULT OnLearnCode(const std::vector<uint8_t>& bytes) override;
  LRESULT OnLearnSample(uint32_t sample) override;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnFinalDestroy() override { delete this; }

 private:
  CLearnDialog(CDevice& device, std::function<void()> stored);
  bool CreateWindowAndControls(HWND owner, const std::string& remote, const std::string& button);
  // The height `text` takes when wrapped to `width` in the window's font.
  int TextHeight(const std::wstring& text, int width) const;
  // Sizes the window to `client` and centres it over the owner's top-level window.
  void PlaceOver(HWND owner, RECT client, DWORD style, DWORD exStyle);
  void Restart();
  int ToleranceFor(const std::string& remote) const;
  std::string RemoteName() const;
  std::string ButtonName() const;
  bool Ask(const std::string& question) const;
  void Tell(std::string_view text) const;

  ILearnView& view() { return *this; }


  // ILearnView
  void setLed(LedState state) override;
  void setProgress(int position, int range) override;
  void showMessage(std::string_view text) override { Tell(text); }
  void armTimer(int id, unsigned ms) override;
  void stopTimer(int id) override;
  void enableStore(bool enabled) override;
  void discardQueuedCodes() override;

  CDevice& m_device;
  std::function<void()> m_stored;
  bool m_timing = false;
  std::unique_ptr<CByteLearner> m_bytes;
  std::unique_ptr<CTimingLearner> m_samples;
  LedState m_led = LedState::Green;
  win::CBrush m_ledBrushes[3];
  HFONT m_font = nullptr;
  int m_position = 0;
  std::map<int, uint64_t> m_timerDue;
};

}  // namespace vexa::device
