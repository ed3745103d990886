#pragma once
// The hidden window the vendor driver posts key events to: a key going down
// sends its command and starts a 100 ms repeat; the key going up stops it.
#include <windows.h>

#include <functional>
#include <optional>

#include "plugins/store/command_store.h"
#include "vexa/winlib/window.h"

namespace vexa::padrem {

class CDriverWindow : public win::CWindow {
 public:
  struct Hooks {
    std::function<bool()> learning;
    std::function<std::optional<store::FoundCommand>(uint32_t code)> lookup;
    std::function<HWND()> hostWindow;
  };
  explicit CDriverWindow(Hooks hooks) : m_hooks(std::move(hooks)) {}
  ~CDriverWindow() override { Destroy(); }
  bool Create();
  static constexpr UINT kKeyMessage = WM_USER;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void KeyDown(uint32_t code);
  void Send(int32_t repeat);

  Hooks m_hooks;
  std::optional<store::FoundCommand> m_current;
  int32_t m_repeat = 0;
};

}  // namespace vexa::padrem
