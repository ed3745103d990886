#pragma once
// Gathers what the configuration dump of err.log and config.log shows from
// the running program's parts.
#include <windows.h>

#include "vexa/base/program_settings.h"
#include "vexa/shell/error_report.h"

namespace vexa::device {
class CDevice;
}

namespace vexa::shell {

struct ServerState {
  int port = 0;
  bool running = false;
};

// `device` may be null (no host yet).
ConfigDumpValues collectConfigDump(const ProgramSettings& settings, const device::CDevice* device,
                                   const ServerState& server);

}  // namespace vexa::shell
