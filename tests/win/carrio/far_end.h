#pragma once
// The far end of the pseudo-terminal pair (COM6): where the tests write the
// edge script that the scripted carrio.dll replays as its carrier-detect line.
#include <windows.h>

#include <string>
#include <vector>

#include "plugins/carrio/edge_script.h"
#include "vexa/device/signal_generator.h"

namespace vexa::test {

class CLineFarEnd {
 public:
  CLineFarEnd() {
    m_port = CreateFileA("\\\\.\\COM6", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  }
  ~CLineFarEnd() {
    if (m_port != INVALID_HANDLE_VALUE) CloseHandle(m_port);
  }
  CLineFarEnd(const CLineFarEnd&) = delete;
  CLineFarEnd& operator=(const CLineFarEnd&) = delete;

  bool IsOpen() const { return m_port != INVALID_HANDLE_VALUE; }
  bool Write(const std::string& script) {
    DWORD written = 0;
    return WriteFile(m_port, script.data(), static_cast<DWORD>(script.size()), &written, nullptr) &&
           written == script.size();
  }

  static std::string Script(const std::vector<uint32_t>& samples, uint64_t leadUs = 600000) {
    return carrio::edgeScript(samples, leadUs);
  }
  static std::vector<uint32_t> Samples(const std::vector<TimedSample>& timed) {
    std::vector<uint32_t> out;
    for (const auto& t : timed) out.push_back(t.sample);
    return out;
  }

 private:
  HANDLE m_port = INVALID_HANDLE_VALUE;
};

}  // namespace vexa::test
