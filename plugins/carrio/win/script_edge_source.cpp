// The test build's line: edges scripted on the serial port's far end, replayed
// with exact intervals. Within a burst the scripted intervals are the time; a
// wait for the next line lets the real time pass too, so pauses are real pauses.
#include <algorithm>
#include <ctime>

#include "plugins/carrio/edge_script.h"
#include "plugins/carrio/win/edge_source.h"

namespace vexa::carrio {

namespace {

constexpr int64_t kMicrosecondsPerSecond = 1000000;
constexpr uint64_t kRestSlackUs = 20000;

class CScriptEdgeSource final : public IEdgeSource {
 public:
  CScriptEdgeSource(win::CSerialPort& port, HANDLE portEvent)
      : m_port(port), m_event(portEvent), m_startSeconds(static_cast<int64_t>(std::time(nullptr))) {
    QueryPerformanceFrequency(&m_wallFrequency);
    QueryPerformanceCounter(&m_wallStart);
  }

  std::optional<bool> Level() override { return m_level; }
  int64_t Frequency() override { return kMicrosecondsPerSecond; }  // the counter counts microseconds
  Edge Now() override { return {m_level, static_cast<int64_t>(m_nowUs), Seconds()}; }

  std::optional<Edge> Next(std::span<const HANDLE> stops) override {
    for (;;) {
      if (auto line = m_lines.take()) {
        const auto edge = parseEdgeLine(*line);
        if (!edge) continue;
        m_nowUs += edge->afterUs;
        // Paced so that the host sees the samples when a real line would give them.
        const uint64_t wall = WallUs();
        if (m_nowUs > wall && WaitForMultipleObjects(static_cast<DWORD>(stops.size()), stops.data(), FALSE,
                                                     static_cast<DWORD>((m_nowUs - wall) / 1000)) != WAIT_TIMEOUT)
          return std::nullopt;
        m_level = edge->level;
        return Edge{m_level, static_cast<int64_t>(m_nowUs), Seconds()};
      }
      if (!ReadMore(stops)) return std::nullopt;
      // Behind the real time by more than pacing explains: the line rested meanwhile.
      const uint64_t wall = WallUs();
      if (wall > m_nowUs + kRestSlackUs) m_nowUs = wall;
    }
  }

 private:
  int64_t Seconds() const { return m_startSeconds + static_cast<int64_t>(m_nowUs / kMicrosecondsPerSecond); }

  uint64_t WallUs() const {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    const uint64_t ticks = static_cast<uint64_t>(now.QuadPart - m_wallStart.QuadPart);
    const uint64_t f = static_cast<uint64_t>(m_wallFrequency.QuadPart);
    return ticks / f * kMicrosecondsPerSecond + ticks % f * kMicrosecondsPerSecond / f;
  }

  // Reads what has arrived, waiting (without a time-out) for the first byte:
  // this thread runs at time-critical priority and must never spin.
  bool ReadMore(std::span<const HANDLE> stops) {
    char first = 0;
    m_port.SetTimeouts(0, 0, 0, 50, 50);
    if (ReadInto(&first, 1, stops) != 1) return !anySet(stops);
    m_lines.add(first);
    char buffer[4096];
    m_port.SetTimeouts(MAXDWORD, 0, 0, 50, 50);  // what is there, at once
    const DWORD count = ReadInto(buffer, sizeof buffer, stops);
    for (DWORD i = 0; i < count; ++i) m_lines.add(buffer[i]);
    return !anySet(stops);
  }

  DWORD ReadInto(char* buffer, DWORD size, std::span<const HANDLE> stops) {
    win::COverlapped io(m_event);
    io.Reset();
    if (!m_port.StartRead(buffer, size, io.ov)) return 0;
    if (!waitForOther(stops, m_event, INFINITE)) {
      m_port.CancelPending(io.ov);
      return 0;
    }
    return m_port.Result(io.ov, false);
  }

  win::CSerialPort& m_port;
  HANDLE m_event;
  CLineCollector m_lines;
  bool m_level = true;  // the receiver's output rests high
  uint64_t m_nowUs = 0;
  int64_t m_startSeconds;
  LARGE_INTEGER m_wallFrequency{};
  LARGE_INTEGER m_wallStart{};
};

}  // namespace

std::unique_ptr<IEdgeSource> makeEdgeSource(win::CSerialPort& port, HANDLE portEvent) {
  return std::make_unique<CScriptEdgeSource>(port, portEvent);
}

}  // namespace vexa::carrio
