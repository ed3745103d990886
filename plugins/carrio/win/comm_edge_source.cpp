// The carrier-detect line of a real serial port.
#include <ctime>

#include "plugins/carrio/win/edge_source.h"

namespace vexa::carrio {

namespace {

int64_t counterNow() {
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

class CCommEdgeSource final : public IEdgeSource {
 public:
  CCommEdgeSource(win::CSerialPort& port, HANDLE portEvent) : m_port(port), m_event(portEvent) {}

  std::optional<bool> Level() override {
    DWORD status = 0;
    if (!GetCommModemStatus(m_port.Get(), &status)) return std::nullopt;
    return (status & MS_RLSD_ON) != 0;
  }

  int64_t Frequency() override {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
  }

  Edge Now() override {
    Edge e{false, counterNow(), static_cast<int64_t>(std::time(nullptr))};
    e.level = Level().value_or(false);
    return e;
  }

  std::optional<Edge> Next(std::span<const HANDLE> stops) override {
    m_port.SetMask(EV_RLSD);
    win::COverlapped io(m_event);
    io.Reset();
    DWORD mask = 0;
    if (!m_port.StartWaitEvent(mask, io.ov)) return std::nullopt;
    if (!waitForOther(stops, m_event, INFINITE)) {
      m_port.SetMask(0);
      m_port.CancelPending(io.ov);
      return std::nullopt;
    }
    // The clocks first: the timing is the point.
    Edge e{false, counterNow(), static_cast<int64_t>(std::time(nullptr))};
    m_port.Result(io.ov, false);
    // Some ports end every wait at once without an event; at this thread's
    // priority a loop around that must still yield.
    if (mask == 0) Sleep(1);
    e.level = Level().value_or(false);
    return e;
  }

 private:
  win::CSerialPort& m_port;
  HANDLE m_event;
};

}  // namespace

std::unique_ptr<IEdgeSource> makeEdgeSource(win::CSerialPort& port, HANDLE portEvent) {
  return std::make_unique<CCommEdgeSource>(port, portEvent);
}

}  // namespace vexa::carrio
