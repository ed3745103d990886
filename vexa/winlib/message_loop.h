#pragma once
// Message loops of the user-interface thread.

namespace vexa::win {

// Runs until WM_QUIT and returns its exit code.
int RunMessageLoop();

// Dispatches what is queued now without waiting; returns false once WM_QUIT was seen
// (the quit message is put back so that an outer loop still ends).
bool PumpPendingMessages();

// Waits for a kernel object for at most `milliseconds` while dispatching the calling
// thread's messages, so that a worker which sends this thread a message while being
// waited for cannot deadlock it. A null handle just pumps for the whole time. True when
// the object was signalled; false on time-out (and at once when WM_QUIT arrives, which
// is put back).
bool WaitDispatchingMessages(void* handle, unsigned long milliseconds);

}  // namespace vexa::win
