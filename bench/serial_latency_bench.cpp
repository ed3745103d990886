// Latency of one button press through the real serial.dll under Wine: from the
// last code byte written on the receiver's pseudo-terminal to the code block
// reaching a window's message handler (which reports it on a pipe at once).
//
// Needs a win64 build: VEXA_WIN64_BUILD (default build/win64 under the source
// tree) with serial.dll, serial_latency_probe.exe and a Wine prefix.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tools/vremote/pty_line.h"
#include "tools/vremote/remote_keys.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;
using namespace vexa::vremote;

constexpr int kComPort = 7;

fs::path win64Build() {
  const char* build = std::getenv("VEXA_WIN64_BUILD");
  return build ? fs::path(build) : fs::path(VEXA_SOURCE_DIR) / "build/win64";
}

// The Windows half: serial_latency_probe running under Wine, its output on a pipe.
class CProbe {
 public:
  std::string Start(const fs::path& build) {
    const fs::path exe = build / "tests/win/serial/serial_latency_probe.exe";
    const fs::path dll = build / "plugins/serial/win/serial.dll";
    if (!fs::exists(exe) || !fs::exists(dll)) return "build " + build.string() + " has no probe or serial.dll";
    int fds[2];
    if (pipe(fds) != 0) return "pipe failed";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    const std::string wine = std::string(VEXA_SOURCE_DIR) + "/scripts/wine";
    setenv("WINEPREFIX", (build / "wineprefix").c_str(), 1);
    const std::string port = "COM" + std::to_string(kComPort);
    std::vector<std::string> args{wine, exe.string(), dll.string(), port};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int rc = posix_spawn(&m_pid, wine.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    m_out = fds[0];
    return rc == 0 ? std::string() : "cannot start " + wine;
  }
  ~CProbe() {
    if (m_pid > 0) {
      kill(m_pid, SIGTERM);
      waitpid(m_pid, nullptr, 0);
    }
    if (m_out >= 0) close(m_out);
  }
  // One reported code line, or empty after the time-out.
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

// Answers the init string like an Irman until the plug-in is initialised.
bool answerInit(CPtyLine& line, std::chrono::seconds limit) {
  CIrmanResponder irman;
  const auto end = Clock::now() + limit;
  while (Clock::now() < end) {
    if (auto answer = irman.Feed(line.Read(std::chrono::milliseconds(100)))) return line.Write(*answer);
  }
  return false;
}

double percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  const size_t index = static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
  return values[index];
}

void BM_SerialPressToWindow(benchmark::State& state) {
  const fs::path build = win64Build();
  CPtyLine line;
  if (std::string error = line.Open(build / "wineprefix", kComPort); !error.empty())
    return state.SkipWithError(error.c_str());
  CProbe probe;
  if (std::string error = probe.Start(build); !error.empty()) return state.SkipWithError(error.c_str());
  if (!answerInit(line, std::chrono::seconds(60))) return state.SkipWithError("serial.dll never sent its init string");
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the monitor starts waiting

  const auto& keys = remoteKeys();
  std::vector<double> micros;
  size_t press = 0;
  for (auto _ : state) {
    const RemoteKey& key = keys[press++ % keys.size()];
    const std::string code(reinterpret_cast<const char*>(key.code.data()), key.code.size());
    line.Write(code);
    const auto written = Clock::now();
    const std::string reported = probe.ReadLine(2000);
    const auto handled = Clock::now();
    if (reported.size() != 2 * code.size()) return state.SkipWithError("a press was not delivered whole");
    const double elapsed = std::chrono::duration<double>(handled - written).count();
    state.SetIterationTime(elapsed);
    micros.push_back(elapsed * 1e6);
    // Presses of a person, not a flood: the plug-in drops what follows a code.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  if (micros.empty()) return;
  state.counters["median_us"] = percentile(micros, 0.5);
  state.counters["p99_us"] = percentile(micros, 0.99);
  state.counters["max_us"] = *std::max_element(micros.begin(), micros.end());
  state.counters["presses"] = static_cast<double>(micros.size());
}
BENCHMARK(BM_SerialPressToWindow)->UseManualTime()->Iterations(300)->Unit(benchmark::kMicrosecond);

}  // namespace
