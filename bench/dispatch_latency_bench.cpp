// Latency from a CommandRecord reaching the real main window (0x7FFF code 0)
// to its command's first action, under Wine. The Windows half,
// dispatch_latency_probe, times each press on its own performance counter and
// prints it; this side turns the figures into benchmark results.
//
// Needs a win64 build: VEXA_WIN64_BUILD (default build/win64 under the source
// tree) with dispatch_latency_probe.exe. Without DISPLAY the probe runs under
// xvfb-run.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kPresses = 300;

fs::path win64Build() {
  const char* build = std::getenv("VEXA_WIN64_BUILD");
  return build ? fs::path(build) : fs::path(VEXA_SOURCE_DIR) / "build/win64";
}

class CProbe {
 public:
  std::string Start(const fs::path& build, int presses) {
    const fs::path exe = build / "tests/win/exec/dispatch_latency_probe.exe";
    if (!fs::exists(exe)) return "build " + build.string() + " has no dispatch_latency_probe.exe";
    int fds[2];
    if (pipe(fds) != 0) return "pipe failed";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    setenv("WINEPREFIX", (build / "wineprefix").c_str(), 1);
    std::vector<std::string> args;
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) args = {"xvfb-run", "-a"};
    args.push_back(std::string(VEXA_SOURCE_DIR) + "/scripts/wine");
    args.push_back(exe.string());
    args.push_back(std::to_string(presses));
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int rc = posix_spawnp(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    m_out = fds[0];
    return rc == 0 ? std::string() : "cannot start " + args[0];
  }
  ~CProbe() {
    if (m_out >= 0) close(m_out);
    if (m_pid > 0) waitpid(m_pid, nullptr, 0);
  }
  // One line, or empty after the time-out or at the end.
  std::string ReadLine(int timeoutMs) {
    while (true) {
      if (const size_t nl = m_pending.find('\n'); nl != std::string::npos) {
        std::string line = m_pending.substr(0, nl);
        m_pending.erase(0, nl + 1);
        return line;
      }
      pollfd p{m_out, POLLIN, 0};
      if (poll(&p, 1, timeoutMs) <= 0) return {};
      char buffer[256];
      const ssize_t n = read(m_out, buffer, sizeof(buffer));
      if (n <= 0) return {};
      m_pending.append(buffer, static_cast<size_t>(n));
    }
  }

 private:
  pid_t m_pid = -1;
  int m_out = -1;
  std::string m_pending;
};

double percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5)];
}

void BM_CommandRecordToFirstAction(benchmark::State& state) {
  CProbe probe;
  if (std::string error = probe.Start(win64Build(), kPresses); !error.empty())
    return state.SkipWithError(error.c_str());
  std::vector<double> micros, handOver;
  for (auto _ : state) {
    // The first line waits for Wine to start the probe.
    std::istringstream line(probe.ReadLine(micros.empty() ? 120000 : 10000));
    double toAction = 0, returned = 0;
    if (!(line >> toAction >> returned)) return state.SkipWithError("the probe stopped before all presses");
    state.SetIterationTime(toAction / 1e6);
    micros.push_back(toAction);
    handOver.push_back(returned);
  }
  if (micros.empty()) return;
  state.counters["median_us"] = percentile(micros, 0.5);
  state.counters["p99_us"] = percentile(micros, 0.99);
  state.counters["max_us"] = *std::max_element(micros.begin(), micros.end());
  state.counters["window_median_us"] = percentile(handOver, 0.5);
  state.counters["presses"] = static_cast<double>(micros.size());
}
BENCHMARK(BM_CommandRecordToFirstAction)->UseManualTime()->Iterations(kPresses)->Unit(benchmark::kMicrosecond);

}  // namespace
