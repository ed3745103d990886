#pragma once
// Start-up and shut-down of the program.
#include <windows.h>

namespace vexa::shell {

// Runs the program on the calling (user-interface) thread; returns the exit code.
int runApplication(HINSTANCE instance);

}  // namespace vexa::shell
