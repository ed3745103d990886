// The second process of the shared mapping count test: it loads hwport.dll
// while the test program holds a mapping of the simulated window, maps the
// same base and unmaps it again. Exit code 0, or the number of the failed check.

#include <windows.h>

#include "tests/win/hwport/hwport_test_support.h"

int main() {
  using namespace vexa::test;
  CHwportLibrary library(ProgramFolder());
  if (!library.Loaded()) return 1;
  CSimulatedCard card;
  if (!card.Open()) return 2;
  const uint32_t requestsBefore = card.Stats().mapRequests;
  // Counted, not asked for: the other process mapped this base first.
  if (library.MemMap(vexa::hwsim::kSimWindowBase, 4096) != 1) return 3;
  if (card.Stats().mapRequests != requestsBefore) return 4;
  library.MemUnmap(vexa::hwsim::kSimWindowBase, 4096);
  const vexa::hwsim::SimStats after = card.Stats();
  if (after.unmapRequests != 0 || after.mapped != 1) return 5;
  return 0;
}
