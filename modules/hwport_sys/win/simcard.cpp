// Presses a button on the stand-in driver's simulated card from outside the
// program, for `make run`: `simcard press VALUE [MS]` shows VALUE on the GPIO
// pins for MS milliseconds (default 300), then the idle value 0 again.
// Exit code 0, 1 for a bad command line, 2 when the driver is not running.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "modules/hwport_sys/sim_requests.h"

int main(int argc, char** argv) {
  using namespace vexa::hwsim;
  if (argc < 3 || std::strcmp(argv[1], "press") != 0) {
    std::fprintf(stderr, "usage: simcard press VALUE [MS]\n");
    return 1;
  }
  SimSetup setup{};
  setup.variant = static_cast<uint32_t>(CardVariant::gpioReceiver);
  setup.irReadAddress = 0x35;
  setup.stepCount = 1;
  setup.steps[0] = {static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 0)),
                    argc > 3 ? static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 0)) : 300u};
  HANDLE device = CreateFileW(L"\\\\.\\hwport", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  if (device == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "simcard: the hwport driver is not running (start Vexa with the TV-card plug-in)\n");
    return 2;
  }
  DWORD returned = 0;
  const BOOL ok = DeviceIoControl(device, kSetupCode, &setup, kSimSetupHeaderBytes + sizeof(ScriptStep), nullptr, 0,
                                  &returned, nullptr);
  CloseHandle(device);
  return ok ? 0 : 2;
}
