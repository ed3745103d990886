#pragma once
// Where the line's changes come from: the seam between the hardware and the
// timing code. The shipped plug-in watches a serial port's carrier-detect line;
// a build for tests replays scripted edges with exact timestamps.
#include <windows.h>

#include <memory>
#include <optional>
#include <span>
#include <vector>

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
  // Waits for the next event on the line, clocks taken first; nullopt once one
  // of `stops` is set or the wait failed. The level may be unchanged.
  virtual std::optional<Edge> Next(std::span<const HANDLE> stops) = 0;
};

// Waits for any of `stops` or `other`, at most `ms`: true when `other` came first.
inline bool waitForOther(std::span<const HANDLE> stops, HANDLE other, DWORD ms) {
  std::vector<HANDLE> handles(stops.begin(), stops.end());
  handles.push_back(other);
  return WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, ms) ==
         WAIT_OBJECT_0 + stops.size();
}

inline bool anySet(std::span<const HANDLE> stops) {
  return WaitForMultipleObjects(static_cast<DWORD>(stops.size()), stops.data(), FALSE, 0) < WAIT_OBJECT_0 + stops.size();
}

// The one this build has, on the opened port and its "CARRIOComEv" event.
std::unique_ptr<IEdgeSource> makeEdgeSource(win::CSerialPort& port, HANDLE portEvent);

}  // namespace vexa::carrio
