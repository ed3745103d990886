#include "plugins/tunerbox/win/setup_wizard.h"

#include <commctrl.h>
#include <prsht.h>

#include <memory>

#include "plugins/kit/win/module_info.h"
#include "plugins/tunerbox/setup_analysis.h"
#include "plugins/tunerbox/setup_log.h"
#include "plugins/tunerbox/setup_sampling.h"
#include "plugins/tunerbox/win/resource.h"
#include "plugins/tunerbox/win/sampling_thread.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/winlib/handle.h"
#include "vexa/winlib/property_sheet.h"

namespace vexa::tunerbox {
namespace {

constexpr int kBackButton = 0x3023;  // the sheet's own control id
constexpr UINT_PTR kLedTimer = 1;
constexpr UINT kDownBlinkMs = 500;
constexpr UINT kNewValueBlinkMs = 250;

// What the pages share while the wizard runs.
struct WizardState {
  explicit WizardState(const WizardCard& c) : card(c) {}
  const WizardCard& card;
  CSetupLog log{logPathFor(kit::modulePathA())};
  SetupMeasurements measured;
  uint8_t microcontroller = 0;
  bool finished = false;
};

DWORD WINAPI runWork(void* work) {
  (*static_cast<const std::function<void()>*>(work))();
  return 0;
}

// Runs `work` on another thread while this one keeps its windows answering.
void runBeside(const std::function<void()>& work) {
  win::CHandle worker(CreateThread(nullptr, 0, &runWork, const_cast<std::function<void()>*>(&work), 0, nullptr));
  if (!worker.IsValid()) return work();
  HANDLE handle = worker.Get();
  while (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

class CWizardPage : public win::CPropertyPage {
 public:
  explicit CWizardPage(WizardState& state) : m_state(state) {}

 protected:
  HWND Sheet() const { return GetParent(Handle()); }
  void Buttons(DWORD buttons) const {
    PropSheet_SetWizButtons(Sheet(), buttons);
    ShowWindow(GetDlgItem(Sheet(), kBackButton), SW_HIDE);
  }
  void OnSetActive() override { Buttons(PSWIZB_NEXT); }
  bool OnNotify(int id, NMHDR& header, LRESULT& result) override {
    if (header.code == PSN_WIZNEXT) {
      result = OnNext() ? 0 : -1;
      return true;
    }
    if (header.code == PSN_WIZFINISH) {
      m_state.finished = true;
      result = FALSE;
      return true;
    }
    return win::CPropertyPage::OnNotify(id, header, result);
  }
  // Leaving with Next: false stays.
  virtual bool OnNext() { return true; }

  WizardState& m_state;
};

// A page with the LED and the sampling thread.
class CSamplingPage : public CWizardPage {
 public:
  explicit CSamplingPage(WizardState& state)
      : CWizardPage(state), m_sampler([&state] { return state.card.readGpio(); }) {}

 protected:
  virtual void OnSample(uint32_t value) = 0;
  void Led(bool on) {
    m_led = on;
    InvalidateRect(Item(IDC_WIZ_LED), nullptr, TRUE);
  }
  void Blink(UINT ms) {
    Led(true);
    SetTimer(Handle(), kLedTimer, ms, nullptr);
  }
  void StartSampling() { m_sampler.Start(Handle()); }
  void StopSampling() { m_sampler.Stop(); }
  bool OnTimer(UINT_PTR id) override {
    if (id != kLedTimer) return false;
    KillTimer(Handle(), kLedTimer);
    Led(false);
    return true;
  }
  void OnReset() override { StopSampling(); }
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override {
    if (msg == abi::kVexaMessage && wp == 0) {
      OnSample(static_cast<uint32_t>(lp));
      return true;
    }
    if (msg == WM_DRAWITEM && wp == IDC_WIZ_LED) {
      DrawLed(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      result = TRUE;
      return true;
    }
    if (msg == WM_DESTROY) StopSampling();
    return CWizardPage::OnMessage(msg, wp, lp, result);
  }

 private:
  void DrawLed(const DRAWITEMSTRUCT& item) const {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    HBRUSH brush = CreateSolidBrush(m_led ? RGB(255, 32, 32) : RGB(96, 0, 0));
    HGDIOBJ old = SelectObject(item.hDC, brush);
    Ellipse(item.hDC, item.rcItem.left + 2, item.rcItem.top + 2, item.rcItem.right - 2, item.rcItem.bottom - 2);
    SelectObject(item.hDC, old);
    DeleteObject(brush);
  }

  CSamplingThread m_sampler;
  bool m_led = false;
};

class CIntroPage : public CWizardPage {
 public:
  using CWizardPage::CWizardPage;
};

class CStep1Page : public CWizardPage {
 public:
  using CWizardPage::CWizardPage;

 protected:
  void OnSetActive() override {
    m_state.microcontroller = m_state.card.microcontroller();
    if (!m_state.microcontroller) return Buttons(PSWIZB_NEXT);
    SetItemText(IDC_WIZ_TEXT1, "The wizard detected a Hauppauge WinTV.");
    SetItemText(IDC_WIZ_TEXT2, "No further configuration is required.");
    m_state.log.create(logMicrocontroller(m_state.microcontroller));
    Buttons(PSWIZB_FINISH);
  }
  bool OnNext() override {
    // As the running TV program has set it up.
    m_state.measured.outEn = m_state.card.readOutputEnable();
    m_state.log.create(logValue("GPIO_OUT_EN", m_state.measured.outEn));
    return true;
  }
};

class CStep2Page : public CWizardPage {
 public:
  using CWizardPage::CWizardPage;

 protected:
  bool OnNext() override {
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    auto& m = m_state.measured;
    const WizardCard& card = m_state.card;
    runBeside([&] {
      card.writeOutputEnable(m.outEn);
      CStabilityMask stability(card.readGpio());
      for (int i = 0; i < kStabilityReadings; ++i) stability.add(card.readGpio());
      m.gpioInit = stability.first();
      m.initMask = stability.mask();
    });
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    m_state.log.append(logValue("GPIO_INIT", m.gpioInit) + logValue("INIT_MASK", m.initMask));
    return true;
  }
};

class CStep3Page : public CSamplingPage {
 public:
  using CSamplingPage::CSamplingPage;

 protected:
  void OnSetActive() override {
    Buttons(0);
    m_capture.emplace(m_state.measured.gpioInit, m_state.measured.initMask);
    StartSampling();
  }
  void OnSample(uint32_t value) override {
    switch (m_capture->add(value)) {
      case CButtonCapture::Event::kDown:
        Blink(kDownBlinkMs);
        Buttons(PSWIZB_NEXT);
        break;
      case CButtonCapture::Event::kUp:
        KillTimer(Handle(), kLedTimer);
        Led(false);
        break;
      case CButtonCapture::Event::kNone:
        break;
    }
  }
  bool OnNext() override {
    StopSampling();
    m_state.measured.btnDown = m_capture->down();
    m_state.measured.btnUp = m_capture->up();
    m_state.log.append(logValue("GPIO_BTNDOWN", m_state.measured.btnDown) +
                       logValue("GPIO_BTNUP", m_state.measured.btnUp));
    return true;
  }

 private:
  std::optional<CButtonCapture> m_capture;
};

class CStep4Page : public CSamplingPage {
 public:
  using CSamplingPage::CSamplingPage;

 protected:
  void OnSetActive() override {
    Buttons(0);
    m_buttons.emplace(m_state.measured.initMask);
    StartSampling();
  }
  void OnSample(uint32_t value) override {
    if (!m_buttons->add(value)) return;
    if (!m_buttons->enough()) return;
    Blink(kNewValueBlinkMs);
    Buttons(PSWIZB_NEXT);
  }
  bool OnNext() override {
    StopSampling();
    m_state.measured.buttons = m_buttons->values();
    m_state.log.append(logButtons(m_state.measured.buttons));
    return true;
  }

 private:
  std::optional<CButtonCollection> m_buttons;
};

class CStep5Page : public CWizardPage {
 public:
  using CWizardPage::CWizardPage;
  const SetupAnalysis& Result() const { return m_result; }

 protected:
  void OnSetActive() override {
    m_result = analyseSetup(m_state.measured);
    m_state.log.append(logAnalysis(m_result));
    if (m_result.compatible()) {
      SetItemText(IDC_WIZ_TEXT1,
                  "Congratulations!\n\nThe wizard has successfully collected enough data about your card, and your "
                  "model seems to be compatible.");
      SetItemText(IDC_WIZ_TEXT2,
                  "Now finish the wizard and try to learn remote contol buttons. If learning is not possible, this "
                  "device plugin is not compatible with your hardware.");
      Buttons(PSWIZB_FINISH);
    } else {
      SetItemText(IDC_WIZ_TEXT1,
                  "The wizard could not successfully analyze the received data, your model does not seem to be "
                  "compatible with this device plugin.");
      SetItemText(IDC_WIZ_TEXT2,
                  "The log file \"tunerbox.log\" was created in the devices folder. Please send it, together with "
                  "the name and manufacturer of your TV card, to support@marlix.invalid.");
      Buttons(PSWIZB_DISABLEDFINISH);
    }
  }

 private:
  SetupAnalysis m_result;
};

}  // namespace

WizardOutcome runSetupWizard(HWND owner, const WizardCard& card) {
  WizardState state{card};
  CIntroPage intro(state);
  CStep1Page step1(state);
  CStep2Page step2(state);
  CStep3Page step3(state);
  CStep4Page step4(state);
  CStep5Page step5(state);
  const HINSTANCE module = kit::thisModule();
  win::runPropertySheet(owner, L"IR Setup Wizard",
                        {intro.Describe(module, IDD_WIZ_INTRO), step1.Describe(module, IDD_WIZ_STEP1),
                         step2.Describe(module, IDD_WIZ_STEP2), step3.Describe(module, IDD_WIZ_STEP3),
                         step4.Describe(module, IDD_WIZ_STEP4), step5.Describe(module, IDD_WIZ_STEP5)},
                        PSH_WIZARD | PSH_NOAPPLYNOW);
  WizardOutcome outcome;
  outcome.finished = state.finished;
  outcome.microcontroller = state.microcontroller != 0;
  if (outcome.finished && !outcome.microcontroller) outcome.config = step5.Result().config(state.measured.outEn);
  return outcome;
}

}  // namespace vexa::tunerbox
