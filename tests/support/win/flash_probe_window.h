#pragma once
// The real main window, noting on the performance counter when the first
// command starts: the busy flash a run posts as it begins its first action.
#include <windows.h>

#include "vexa/base/program_messages.h"
#include "vexa/shell/win/main_window.h"

namespace vexa::test {

class CFlashProbeWindow : public shell::CMainWindow {
 public:
  LARGE_INTEGER flashed{};
  bool seen = false;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == ProgramMessage::kFlashTray && !seen) {
      QueryPerformanceCounter(&flashed);
      seen = true;
    }
    return CMainWindow::OnMessage(msg, wp, lp);
  }
};

}  // namespace vexa::test
