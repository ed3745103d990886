#pragma once
// A window that collects the code blocks a plug-in sends it, on the thread
// that created it.
#include <windows.h>

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
  // Pumps messages until done() or the time-out; returns done().
  bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND m_hwnd = nullptr;
  std::vector<std::string> m_blocks;
};

}  // namespace vexa::test
