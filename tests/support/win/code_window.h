#pragma once
// A window that collects the code blocks and timing samples a plug-in sends it, on the thread
// that created it.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vexa::test {

class CCodeWindow {
 public:
  CCodeWindow();
  ~CCodeWindow();
  CCodeWindow(const CCodeWindow&) = delete;
  CCodeWindow& operator=(const CCodeWindow&) = delete;
  HWND Handle() const { return m_hwnd; }
  const std::vector<std::string>& Blocks() const { return m_blocks; }
  // Timing samples (code 4), answered with 1 (the host wants them) unless an
  // answer is set, which sees each sample after it was recorded.
  const std::vector<uint32_t>& Samples() const { return m_samples; }
  void SetSampleAnswer(std::function<LRESULT(uint32_t)> answer) { m_sampleAnswer = std::move(answer); }
  // Pumps messages until done() or the time-out; returns done().
  bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND m_hwnd = nullptr;
  std::vector<std::string> m_blocks;
  std::vector<uint32_t> m_samples;
  std::function<LRESULT(uint32_t)> m_sampleAnswer;
};

}  // namespace vexa::test
