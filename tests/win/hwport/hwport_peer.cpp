// A second process for the hardware-access tests. Without arguments: it loads
// hwport.dll while the test program holds a mapping of the simulated window,
// maps the same base and unmaps it again. With "exit-loaded": it loads the
// library and ends the process without unloading it. Exit code 0, or the
// number of the failed check.

#include <windows.h>

#include <cstring>

#include "tests/win/hwport/hwport_test_support.h"

int main(int argc, char** argv) {
  using namespace vexa::test;
  CHwportLibrary library(ProgramFolder());
  if (!library.Loaded()) return 1;
  if (argc > 1 && std::strcmp(argv[1], "exit-loaded") == 0) {
    if (QueryDriverService().state != SERVICE_RUNNING) return 6;
    ExitProcess(0);
  }
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
