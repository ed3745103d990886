#pragma once
// Message loops of the user-interface thread.

namespace vexa::win {

// Runs until WM_QUIT and returns its exit code.
int RunMessageLoop();

// Dispatches what is queued now without waiting; returns false once WM_QUIT was seen
// (the quit message is put back so that an outer loop still ends).
bool PumpPendingMessages();

}  // namespace vexa::win
