#include "vexa/device/win/learn_dialog.h"

#include <commctrl.h>

#include <algorithm>

#include "vexa/device/learn_result.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/device/win/device.h"
#include "vexa/winlib/unicode.h"

namespace vexa::device {

namespace {

std::string controlText(HWND control) {
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(control, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return win::toUtf8(text);
}

}  // namespace

CLearnDialog::CLearnDialog(CDevice& device, std::function<void()> stored)
    : m_device(device), m_stored(std::move(stored)) {
  m_ledBrushes[0].Attach(CreateSolidBrush(RGB(0, 200, 0)));
  m_ledBrushes[1].Attach(CreateSolidBrush(RGB(240, 200, 0)));
  m_ledBrushes[2].Attach(CreateSolidBrush(RGB(220, 0, 0)));
}

CLearnDialog* CLearnDialog::Find(CDevice& device) {
  return dynamic_cast<CLearnDialog*>(device.Reception().LearningSink());
}

CLearnDialog* CLearnDialog::Open(CDevice& device, HWND owner, const std::string& remote, const std::string& button,
                                 std::function<void()> stored) {
  // The host passes codes to one "Learn" window: a second one would learn nothing.
  if (CLearnDialog* open = Find(device)) {
    SetForegroundWindow(open->Handle());
    return open;
  }
  auto* dialog = new CLearnDialog(device, std::move(stored));
  if (!dialog->CreateWindowAndControls(owner, remote, button)) {
    delete dialog;
    return nullptr;
  }
  return dialog;
}

bool CLearnDialog::CreateWindowAndControls(HWND owner, const std::string& remote, const std::string& button) {
  if (!RegisterWindowClass(kLearnWindowClass)) return false;
  m_timing = m_device.TimingMode() == 1;
  constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
  if (!Create(kLearnWindowClass, win::toWide(abi::kLearnWindowTitle), kStyle, kExStyle, {0, 0, 440, 330}, owner))
    return false;
  m_font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const auto add = [&](const wchar_t* cls, const std::wstring& text, DWORD style, int x, int y, int w, int h,
                       UINT id) {
    HWND c = CreateWindowExW(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, Handle(),
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance, nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), TRUE);
    return c;
  };
  // The instruction takes the height its text needs in the font it is shown in.
  const std::wstring instruction = win::toWide(m_timing ? kLearnInstructionTiming : kLearnInstructionBytes);
  constexpr int kTextWidth = 390;
  const int textHeight = TextHeight(instruction, kTextWidth);
  const int progressTop = 86 + textHeight + 10;
  const int groupBottom = progressTop + 18 + 12;
  const int buttonsTop = groupBottom + 14;

  add(L"BUTTON", L"Learning button", BS_GROUPBOX, 8, 4, 416, groupBottom - 4, 0xFFFF);
  add(L"STATIC", L"Remote Name", 0, 20, 26, 100, 18, 0xFFFF);
  HWND remotes = add(L"COMBOBOX", win::toWide(remote), CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 130, 22, 280, 200,
                     kRemoteBox);
  for (const auto& [name, r] : m_device.CodeStore().remotes())
    SendMessageW(remotes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win::toWide(name).c_str()));
  SetWindowTextW(remotes, win::toWide(remote).c_str());
  add(L"STATIC", L"Button Name", 0, 20, 56, 100, 18, 0xFFFF);
  add(L"EDIT", win::toWide(button), WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 130, 52, 280, 22, kButtonBox);
  add(L"STATIC", instruction, 0, 20, 86, kTextWidth, textHeight, kInstruction);
  add(PROGRESS_CLASSW, L"", 0, 20, progressTop, m_timing ? 360 : 396, 18, kProgress);
  add(L"STATIC", L"", SS_NOTIFY, 392, progressTop, 18, 18, kLed);
  ShowWindow(GetDlgItem(Handle(), kLed), m_timing ? SW_SHOW : SW_HIDE);
  add(L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 20, buttonsTop, 110, 26, IDOK);
  add(L"BUTTON", L"Learn Another", WS_TABSTOP, 160, buttonsTop, 110, 26, kLearnAnother);
  add(L"BUTTON", L"Cancel", WS_TABSTOP, 300, buttonsTop, 110, 26, IDCANCEL);
  PlaceOver(owner, {0, 0, 432, buttonsTop + 26 + 12}, kStyle, kExStyle);
  Restart();
  m_device.Reception().RegisterLearningSink(this);
  Show(SW_SHOW);
  return true;
}

int CLearnDialog::TextHeight(const std::wstring& text, int width) const {
  const HDC dc = GetDC(Handle());
  const HGDIOBJ old = SelectObject(dc, m_font);
  RECT r{0, 0, width, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_WORDBREAK);
  SelectObject(dc, old);
  ReleaseDC(Handle(), dc);
  return static_cast<int>(r.bottom - r.top);
}

void CLearnDialog::PlaceOver(HWND owner, RECT client, DWORD style, DWORD exStyle) {
  AdjustWindowRectEx(&client, style, FALSE, exStyle);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  // Centred over the window the user opened it from, kept on its screen.
  RECT area{};
  const HWND top = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
  if (!top || !IsWindowVisible(top) || !GetWindowRect(top, &area)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  RECT screen{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
  int x = (area.left + area.right - width) / 2;
  int y = (area.top + area.bottom - height) / 2;
  x = std::max(static_cast<int>(screen.left), std::min(x, static_cast<int>(screen.right) - width));
  y = std::max(static_cast<int>(screen.top), std::min(y, static_cast<int>(screen.bottom) - height));
  SetWindowPos(Handle(), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CLearnDialog::Restart() {
  const int samples = std::max(1, m_device.Record() ? m_device.Record()->learnSamples : 1);
  m_samples.reset();
  m_bytes.reset();
  if (m_timing)
    m_samples = std::make_unique<CTimingLearner>(view(), ToleranceFor(RemoteName()), samples);
  else
    m_bytes = std::make_unique<CByteLearner>(view(), samples);
}

int CLearnDialog::ToleranceFor(const std::string& remote) const {
  const DeviceRemote* r = m_device.CodeStore().findRemote(remote);
  return effectiveTolerance(r ? r->tolerance : 0, m_timing);
}

std::string CLearnDialog::RemoteName() const { return controlText(GetDlgItem(Handle(), kRemoteBox)); }
std::string CLearnDialog::ButtonName() const { return controlText(GetDlgItem(Handle(), kButtonBox)); }

bool CLearnDialog::Ask(const std::string& question) const {
  return m_device.ShowMessageBox(Handle(), win::toWide(question), win::toWide(kLearnTitle),
                                 MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void CLearnDialog::Tell(std::string_view text) const {
  m_device.ShowMessageBox(Handle(), win::toWide(text), win::toWide(kLearnTitle), MB_OK | MB_ICONINFORMATION);
}

void CLearnDialog::armTimer(int id, unsigned ms) {
  SetTimer(Handle(), static_cast<UINT_PTR>(id), ms, nullptr);
  m_timerDue[id] = m_device.Now100ns() + static_cast<uint64_t>(ms) * 10000;
}

void CLearnDialog::stopTimer(int id) {
  KillTimer(Handle(), static_cast<UINT_PTR>(id));
  m_timerDue.erase(id);
}

std::optional<uint64_t> CLearnDialog::TimerDue(int id) const {
  const auto it = m_timerDue.find(id);
  return it == m_timerDue.end() ? std::nullopt : std::optional<uint64_t>(it->second);
}

void CLearnDialog::setLed(LedState state) {
  m_led = state;
  InvalidateRect(GetDlgItem(Handle(), kLed), nullptr, TRUE);
}

void CLearnDialog::setProgress(int position, int range) {
  m_position = position;
  HWND bar = GetDlgItem(Handle(), kProgress);
  SendMessageW(bar, PBM_SETRANGE32, 0, range);
  SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  // Timing learning asks the plug-in's record for as many samples as it shows.
  if (m_timing && m_device.Record() && range == CTimingLearner::kProgressRange)
    m_device.Record()->learnSamples = range;
}

void CLearnDialog::enableStore(bool enabled) {
  EnableWindow(GetDlgItem(Handle(), IDOK), enabled);
  EnableWindow(GetDlgItem(Handle(), kLearnAnother), enabled);
}

void CLearnDialog::discardQueuedCodes() {
  MSG msg;
  while (PeekMessageW(&msg, Handle(), abi::kVexaMessage, abi::kVexaMessage, PM_REMOVE | PM_NOYIELD)) {
  }
}

bool CLearnDialog::StoreCode() {
  const std::string remote = RemoteName();
  const std::string button = ButtonName();
  if (const std::string_view problem = learnNameProblem(remote, button); !problem.empty()) {
    Tell(problem);
    return false;
  }
  const bool complete = m_timing ? m_samples && m_samples->complete() : m_bytes && m_bytes->complete();
  if (!complete) return false;
  const DeviceCode code = m_timing ? timingDeviceCode(m_samples->result()) : rawDeviceCode(m_bytes->code());
  CCodeStore& store = m_device.CodeStore();
  if (store.findCode(remote, button) && !Ask(std::string(kMsgButtonExists))) return false;
  if (auto other = buttonWithSameCode(store, remote, button, code, ToleranceFor(remote))) {
    if (!Ask(sameCodeQuestion(*other))) return false;
    store.deleteCommand(remote, *other);
  }
  store.ensureRemote(remote, m_timing ? 1 : 0);
  store.setCode(remote, button, code);
  if (m_stored) m_stored();
  return true;
}

LRESULT CLearnDialog::OnLearnCode(const std::vector<uint8_t>& bytes) {
  if (!m_bytes) return 0;
  m_bytes->onCode(bytes);
  return 1;
}

LRESULT CLearnDialog::OnLearnSample(uint32_t sample) {
  if (!m_samples) return 0;
  m_samples->onSample(sample, m_device.Now100ns());
  return 1;
}

LRESULT CLearnDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_DESTROY:
      m_device.Reception().UnregisterLearningSink(this);
      break;
    case WM_TIMER:
      if (m_samples) m_samples->onTimer(static_cast<int>(wp));
      return 0;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lp) == GetDlgItem(Handle(), kLed))
        return reinterpret_cast<LRESULT>(m_ledBrushes[static_cast<int>(m_led)].Get());
      break;
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case IDOK:
          if (StoreCode()) Destroy();
          return 0;
        case kLearnAnother:
          if (StoreCode()) {
            SetWindowTextW(GetDlgItem(Handle(), kButtonBox), L"");
            Restart();
          }
          return 0;
        case IDCANCEL:
          Destroy();
          return 0;
      }
      break;
    case WM_CLOSE:
      Destroy();
      return 0;
  }
  return CWindow::OnMessage(msg, wp, lp);
}

}  // namespace vexa::device
