#pragma once
// Where the line's changes come from: the seam between the hardware and the
// timing code. The shipped plug-in watches a serial port's carrier-detect line;
// a build for tests replays scripted edges with exact timestamps.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <span>

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

// Waits for any of `stops` or `other`, at most `ms`: true when `other` came
// first. No allocation: the timing thread calls it between every two edges.
inline bool waitForOther(std::span<const HANDLE> stops, HANDLE other, DWORD ms) {
  HANDLE handles[MAXIMUM_WAIT_OBJECTS];
  const size_t count = std::min<size_t>(stops.size(), MAXIMUM_WAIT_OBJECTS - 1);
  std::copy_n(stops.begin(), count, handles);
  handles[count] = other;
  return WaitForMultipleObjects(static_cast<DWORD>(count + 1), handles, FALSE, ms) == WAIT_OBJECT_0 + count;
}

inline bool anySet(std::span<const HANDLE> stops) {
  return WaitForMultipleObjects(static_cast<DWORD>(stops.size()), stops.data(), FALSE, 0) < WAIT_OBJECT_0 + stops.size();
}

// The one this build has, on the opened port and its "CARRIOComEv" event.
std::unique_ptr<IEdgeSource> makeEdgeSource(win::CSerialPort& port, HANDLE portEvent);

}  // namespace vexa::carrio
