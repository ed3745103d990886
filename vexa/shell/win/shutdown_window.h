#pragma once
// "Vexa is shutting down. Please wait." with a bar that moves once per step
// of the shut-down, for people who asked to see it ("Display shutdown window").
#include "vexa/winlib/dialog.h"

namespace vexa::shell {

class CShutdownWindow : public win::CModelessDialog {
 public:
  static constexpr int kSteps = 5;
  static constexpr unsigned kStepPauseMs = 50;

  // Shows the window when `visible`; otherwise the steps cost nothing.
  explicit CShutdownWindow(bool visible);
  // One step done: the bar moves and the window stays up a moment so it can be seen.
  void Step();
  int StepsDone() const { return m_steps; }

 protected:
  void OnOK() override {}
  void OnCancel() override {}

 private:
  int m_steps = 0;
};

}  // namespace vexa::shell
