#pragma once
// Waiting on the test's own user-interface thread: windows under test answer
// only while their thread dispatches messages.
#include <functional>

namespace vexa::test {

// Dispatches this thread's messages until `done` holds; false on time-out.
bool pumpUntil(const std::function<bool()>& done, unsigned timeoutMs = 5000);
// Dispatches for the whole time.
void pumpFor(unsigned ms);
// Dispatches what is queued now.
void pumpPending();

}  // namespace vexa::test
