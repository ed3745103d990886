#pragma once
// "Remote System Shutdown": the last seconds of a shutdown countdown, with
// "Abort" (and Escape, and the close box) to cancel it.
#include <windows.h>

#include <functional>
#include <string_view>

#include "vexa/winlib/window.h"

namespace vexa::shell {

inline constexpr const wchar_t* kShutdownWindowClass = L"VexaShutdownWindow";
inline constexpr const wchar_t* kShutdownAbortHint = L"Hit ESC to abort.";

// Owned by the countdown. "Abort", Escape and the close box call `abort`,
// which may destroy this object: the window touches nothing of its own after it.
class CRemoteShutdownWindow : public win::CWindow {
 public:
  explicit CRemoteShutdownWindow(std::function<void()> abort) : m_abort(std::move(abort)) {}
  ~CRemoteShutdownWindow() override;

  // Titled "Vexa -" and the window text; false when it could not be created.
  bool Open(HWND owner, std::string_view text, unsigned seconds);
  void Update(unsigned seconds);

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  HWND Control(const wchar_t* cls, const wchar_t* text, DWORD style, UINT id, int x, int y, int w, int h);
  void PointAtAbort();
  void RequestAbort();

  std::function<void()> m_abort;
  HFONT m_font = nullptr;
  HWND m_countdown = nullptr;
  HWND m_button = nullptr;
};

}  // namespace vexa::shell
