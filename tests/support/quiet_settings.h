#pragma once
// Program settings under which leaving asks nothing and shows no shut-down
// window, so that tests can end the main window without a person to answer.
#include "vexa/base/program_settings.h"

namespace vexa::test {

inline ProgramSettings settingsWithoutExitQuestion() {
  ProgramSettings settings;
  settings.options.set(ProgramOptions::kNoExitConfirmation, true);
  settings.options.set(ProgramOptions::kShowShutdownWindow, false);
  return settings;
}

}  // namespace vexa::test
