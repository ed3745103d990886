#pragma once
// Where the line's changes come from: the seam between the hardware and the
// timing code. The shipped plug-in watches a serial port's carrier-detect line;
// a build for tests replays scripted edges with exact timestamps.
#include <windows.h>

#include <memory>
#include <optional>

#include "plugins/carrio/edge_timer.h"
#include "vexa/winlib/serial_port.h"

namespace vexa::carrio {

class IEdgeSource {
 public:
  virtual ~IEdgeSource() = default;
  // The line's level now; nullopt when it cannot be read.
  virtual std::optional<bool> Level() = 0;
  virtual int64_t Frequency() = 0;  // counter ticks per second
  virtual Edge Now() = 0;           // the clocks, with the current level
  // Waits for the next event on the line, clocks taken first; nullopt once
  // `terminate` is set or the wait failed. The level may be unchanged.
  virtual std::optional<Edge> Next(HANDLE terminate) = 0;
};

// The one this build has, on the opened port and its "CARRIOComEv" event.
std::unique_ptr<IEdgeSource> makeEdgeSource(win::CSerialPort& port, HANDLE portEvent);

}  // namespace vexa::carrio
