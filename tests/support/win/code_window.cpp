#include "support/win/code_window.h"

#include <algorithm>

#include "vexa/device/plugin_abi.h"

namespace vexa::test {

CCodeWindow::CCodeWindow() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &CCodeWindow::WindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "PluginTestCodeWindow";
  RegisterClassA(&wc);
  m_hwnd = CreateWindowA(wc.lpszClassName, "codes", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

CCodeWindow::~CCodeWindow() { DestroyWindow(m_hwnd); }

LRESULT CALLBACK CCodeWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<CCodeWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self && msg == abi::kVexaMessage && wp == abi::PageCode::kCodeBlock) {
    const auto* block = reinterpret_cast<const abi::CodeBlock*>(lp);
    self->m_blocks.emplace_back(reinterpret_cast<const char*>(block->bytes), block->count);
    return 0;
  }
  if (self && msg == abi::kVexaMessage && wp == abi::PageCode::kTimingSample) {
    self->m_samples.push_back(static_cast<uint32_t>(lp));
    return self->m_sampleAnswer ? self->m_sampleAnswer(static_cast<uint32_t>(lp)) : 1;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

bool CCodeWindow::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!done()) {
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return done();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 20)), QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  return true;
}

}  // namespace vexa::test
