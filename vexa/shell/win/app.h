#pragma once
// Start-up and shut-down of the program.
#include <windows.h>

#include "vexa/shell/win/session_watch.h"

namespace vexa::device {
class CDevice;
}

namespace vexa::shell {

class CMainWindow;

// What a session lock or a console disconnect stops and what unlocking starts
// again: the device (its selection kept) and, once given, the server.
SessionHooks deviceSessionHooks(CMainWindow& window, device::CDevice& host);

// Runs the program on the calling (user-interface) thread; returns the exit code.
int runApplication(HINSTANCE instance);

}  // namespace vexa::shell
