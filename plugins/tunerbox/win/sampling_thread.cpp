#include "plugins/tunerbox/win/sampling_thread.h"

#include "vexa/device/plugin_abi.h"

namespace vexa::tunerbox {
namespace {

constexpr const wchar_t* kTerminateName = L"TermIRSetupThread";
constexpr DWORD kSampleMs = 100;
constexpr DWORD kAckPollMs = 50;
constexpr DWORD kAckLimitMs = 3000;

// Answers messages sent to this thread's windows for `ms`.
void dispatchSentFor(DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_SENDMESSAGE);
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace

bool CSamplingThread::Start(HWND page) {
  Stop();
  if (!m_terminate.IsValid() && !m_terminate.Create(kTerminateName, true, false)) return false;
  m_terminate.Reset();
  m_page = page;
  m_thread.Attach(CreateThread(nullptr, 0, &CSamplingThread::Main, this, 0, nullptr));
  return m_thread.IsValid();
}

void CSamplingThread::Stop() {
  if (!m_thread.IsValid()) return;
  m_terminate.Set();
  // The worker resets the event as it ends.
  for (DWORD waited = 0; waited < kAckLimitMs && WaitForSingleObject(m_terminate.Get(), 0) == WAIT_OBJECT_0 &&
                         WaitForSingleObject(m_thread.Get(), 0) != WAIT_OBJECT_0;
       waited += kAckPollMs)
    dispatchSentFor(kAckPollMs);
  dispatchSentFor(kAckPollMs);
  if (WaitForSingleObject(m_thread.Get(), kAckLimitMs) != WAIT_OBJECT_0) TerminateThread(m_thread.Get(), 1);
  m_thread.Close();
}

DWORD WINAPI CSamplingThread::Main(void* self) {
  auto& sampler = *static_cast<CSamplingThread*>(self);
  while (WaitForSingleObject(sampler.m_terminate.Get(), kSampleMs) == WAIT_TIMEOUT && IsWindow(sampler.m_page)) {
    SendMessageW(sampler.m_page, abi::kVexaMessage, 0, static_cast<LPARAM>(sampler.m_read()));
  }
  ResetEvent(sampler.m_terminate.Get());
  return 0;
}

}  // namespace vexa::tunerbox
