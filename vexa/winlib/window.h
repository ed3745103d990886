#pragma once
// Base of our windows: owns its HWND and routes messages to a virtual handler.
#include <windows.h>

#include <string>

namespace vexa::win {

// Position and size for Create; CW_USEDEFAULT lets the system choose.
struct WindowPlacement {
  int x = CW_USEDEFAULT;
  int y = CW_USEDEFAULT;
  int cx = CW_USEDEFAULT;
  int cy = CW_USEDEFAULT;
};

class CWindow {
 public:
  CWindow() = default;
  virtual ~CWindow();
  CWindow(const CWindow&) = delete;
  CWindow& operator=(const CWindow&) = delete;

  HWND Handle() const { return m_hwnd; }
  bool IsCreated() const { return m_hwnd != nullptr; }
  // Destroys the window with the usual WM_DESTROY handling of the derived class.
  bool Destroy() { return m_hwnd == nullptr || DestroyWindow(m_hwnd) != FALSE; }

  bool Show(int command = SW_SHOW) { return ShowWindow(m_hwnd, command) != FALSE; }
  bool IsVisible() const { return IsWindowVisible(m_hwnd) != FALSE; }
  bool SetText(const std::wstring& text) { return SetWindowTextW(m_hwnd, text.c_str()) != FALSE; }
  std::wstring Text() const;
  LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return SendMessageW(m_hwnd, msg, wp, lp);
  }
  bool Post(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return PostMessageW(m_hwnd, msg, wp, lp) != FALSE;
  }

  // Registers the class on first use (once per process and class name).
  static bool RegisterWindowClass(const std::wstring& className, HICON icon = nullptr,
                            HICON smallIcon = nullptr);

 protected:
  bool Create(const std::wstring& className, const std::wstring& title, DWORD style,
              DWORD exStyle = 0, WindowPlacement placement = {}, HWND parent = nullptr,
              HMENU menu = nullptr);

  // Handles one message; the default passes it to DefWindowProc.
  virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
  // Called after WM_NCDESTROY, when the handle is gone.
  virtual void OnFinalDestroy() {}

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  HWND m_hwnd = nullptr;
};

}  // namespace vexa::win
