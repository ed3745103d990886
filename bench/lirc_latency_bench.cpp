// Latency of an event through the real lirc.dll under Wine: from lircd
// broadcasting a line (as a plain TCP client of lircd sees it: lircd's own
// hand-off) to the command record reaching a window of the probe, which
// reports it on its standard output at once. Events are made with lircd's
// SIMULATE command on its network port, as irsend makes them.
//
// Runs for each Windows build: VEXA_WIN64_BUILD and VEXA_WIN32_BUILD (default
// build/win64 and build/win32 under the source tree) with lirc.dll and
// lirc_latency_probe.exe. Needs lircd (Debian's lirc).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/wine_probe.h"
#include "tests/support/lircd_daemon.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kEvents = 200;

// A TCP connection to lircd's network port, read line by line.
class CLircdClient {
 public:
  explicit CLircdClient(int port) {
    m_fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int one = 1;
    setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (connect(m_fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
      close(m_fd);
      m_fd = -1;
    }
  }
  ~CLircdClient() {
    if (m_fd >= 0) close(m_fd);
  }
  bool ok() const { return m_fd >= 0; }
  bool send(const std::string& line) { return ::send(m_fd, line.data(), line.size(), 0) == ssize_t(line.size()); }
  // The next line that holds `what`, or empty after the time-out.
  std::string waitFor(const std::string& what, int timeoutMs) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < end) {
      if (const size_t nl = m_pending.find('\n'); nl != std::string::npos) {
        std::string line = m_pending.substr(0, nl);
        m_pending.erase(0, nl + 1);
        if (line.find(what) != std::string::npos) return line;
        continue;
      }
      pollfd p{m_fd, POLLIN, 0};
      if (poll(&p, 1, 50) <= 0) continue;
      char buffer[512];
      const ssize_t n = read(m_fd, buffer, sizeof buffer);
      if (n <= 0) return {};
      m_pending.append(buffer, static_cast<size_t>(n));
    }
    return {};
  }

 private:
  int m_fd = -1;
  std::string m_pending;
};

// The probe's line without the CR that Windows' text mode adds.
std::string probeLine(vexa::bench::CWineProbe& probe, int timeoutMs) {
  std::string line = probe.ReadLine(timeoutMs);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

int freePort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at);
  socklen_t len = sizeof at;
  getsockname(fd, reinterpret_cast<sockaddr*>(&at), &len);
  close(fd);
  return ntohs(at.sin_port);
}

void BM_LircdEventToCommandRecord(benchmark::State& state, const char* arch) {
  const fs::path build = vexa::bench::windowsBuild(arch);
  const fs::path exe = build / "tests/win/lirc/lirc_latency_probe.exe";
  const fs::path dll = build / "plugins/lirc/win/lirc.dll";
  if (!fs::exists(exe) || !fs::exists(dll))
    return state.SkipWithError(("build " + build.string() + " has no lirc_latency_probe.exe or lirc.dll").c_str());
  vexa::test::CTempFolder dir;
  const int port = freePort();
  vexa::test::CLircdDaemon lircd(dir.path(), "begin remote\n name r\n bits 8\n flags SPACE_ENC\n one 500 1500\n"
                                             " zero 500 500\n gap 40000\n begin codes\n  b 1\n end codes\nend remote\n",
                                 port);
  vexa::bench::CWineProbe probe;
  if (std::string error = probe.Start(arch, build, {exe.string(), dll.string(), std::to_string(port)}, false);
      !error.empty())
    return state.SkipWithError(error.c_str());
  if (probeLine(probe, 120000) != "ready") return state.SkipWithError("the probe did not connect to lircd");
  CLircdClient listener(port), commands(port);
  if (!listener.ok() || !commands.ok()) return state.SkipWithError("cannot connect to lircd");
  std::vector<double> beyond, total;
  int n = 0;
  for (auto _ : state) {
    const std::string button = "b" + std::to_string(++n);
    const auto sent = Clock::now();
    commands.send("SIMULATE 0000000000000001 00 " + button + " r\n");
    if (listener.waitFor(" " + button + " ", 5000).empty()) return state.SkipWithError("lircd sent no event");
    const auto handedOff = Clock::now();
    if (probeLine(probe, 5000) != button) return state.SkipWithError("the probe reported no such record");
    const auto arrived = Clock::now();
    commands.waitFor("END", 5000);
    const double us = std::chrono::duration<double, std::micro>(arrived - handedOff).count();
    state.SetIterationTime(us / 1e6);
    beyond.push_back(us);
    total.push_back(std::chrono::duration<double, std::micro>(arrived - sent).count());
  }
  if (beyond.empty()) return;
  state.counters["median_us"] = vexa::bench::percentile(beyond, 0.5);
  state.counters["p99_us"] = vexa::bench::percentile(beyond, 0.99);
  state.counters["from_send_median_us"] = vexa::bench::percentile(total, 0.5);
  state.counters["events"] = static_cast<double>(beyond.size());
}
BENCHMARK_CAPTURE(BM_LircdEventToCommandRecord, win64, vexa::bench::kWin64)
    ->UseManualTime()
    ->Iterations(kEvents)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LircdEventToCommandRecord, win32, vexa::bench::kWin32)
    ->UseManualTime()
    ->Iterations(kEvents)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
