#include "vexa/device/win/reception.h"

namespace vexa::device {

namespace {

constexpr size_t kMaxCodeBytes = 64 * 1024;  // a burst of noise, not a button
constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kRepeatMs = 80;
constexpr const wchar_t* kReceptionClass = L"VexaReception";

}  // namespace

CReception::CReception(const CCodeStore& store, Options options) : m_matcher(store), m_options(std::move(options)) {}

CReception::~CReception() {
  if (IsCreated()) Destroy();
}

bool CReception::EnsureWindow() {
  // Only for the repeat timer: a message-only window, made on first use by the
  // user-interface thread that receives the codes.
  if (IsCreated()) return true;
  return RegisterWindowClass(kReceptionClass) && Create(kReceptionClass, L"", 0, 0, {0, 0, 0, 0}, HWND_MESSAGE);
}

void CReception::UnregisterLearningSink(ILearningSink* sink) {
  if (m_learning == sink) m_learning = nullptr;
}

LRESULT CReception::OnCodeBlock(const abi::CodeBlock* block) {
  if (!block) return 0;
  const size_t count = block->count <= kMaxCodeBytes ? block->count : 0;
  std::vector<uint8_t> bytes;
  if (count && block->bytes) bytes.assign(block->bytes, block->bytes + count);
  if (m_learning) return m_learning->OnLearnCode(bytes);
  if (bytes.empty()) return 0;
  const auto match = m_matcher.matchRaw(bytes);
  if (!match) return 0;
  SendCommand(*match);
  return 1;
}

LRESULT CReception::OnTimingSample(uint32_t sample) {
  if (m_learning) return m_learning->OnLearnSample(sample);
  StopRepeating();
  const TimingMatch match = m_matcher.matchTiming(sample, m_options.now100ns(), m_options.timingMode());
  using Outcome = CTimingMatcher::Outcome;
  if (match.outcome == Outcome::Send || match.outcome == Outcome::SendAndRepeat) {
    m_lastTiming = match.names;
    SendCommand(match.names);
    // A remote with a stop code sends nothing while held: the host repeats for it.
    if (match.outcome == Outcome::SendAndRepeat && EnsureWindow())
      m_repeating = SetTimer(Handle(), kRepeatTimer, kRepeatMs, nullptr) != 0;
  }
  return 1;
}

void CReception::StopRepeating() {
  if (m_repeating) KillTimer(Handle(), kRepeatTimer);
  m_repeating = false;
}

void CReception::SendCommand(const CodeMatch& names) {
  // The record is the plug-ins' own: the main window reads it in their code page.
  auto* record = new abi::CommandRecord{};
  abi::copyField(record->command, m_options.ansi.fromUtf8(names.command).c_str());
  abi::copyField(record->remote, m_options.ansi.fromUtf8(names.remote).c_str());
  record->repeatCount = 0;
  // The main window frees every record it is sent, whatever it decides.
  if (m_target && IsWindow(m_target))
    SendMessageW(m_target, abi::kVexaMessage, abi::MainCode::kCommand, reinterpret_cast<LPARAM>(record));
  else
    delete record;
}

LRESULT CReception::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER && wp == kRepeatTimer) {
    if (!m_lastTiming.command.empty()) SendCommand(m_lastTiming);
    return 0;
  }
  return CWindow::OnMessage(msg, wp, lp);
}

}  // namespace vexa::device
