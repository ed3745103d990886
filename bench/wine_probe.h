#pragma once
// The Windows half of a latency benchmark: a probe program started under
// Wine from the Linux side, its standard output read line by line.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace vexa::bench {

// Both Windows builds are measured, side by side: the ratio between them is
// what matters, the 32-bit loader being the less travelled road under Wine.
inline constexpr const char* kWin64 = "win64";
inline constexpr const char* kWin32 = "win32";

// VEXA_WIN64_BUILD or VEXA_WIN32_BUILD, else build/<arch> under the source tree.
inline std::filesystem::path windowsBuild(const std::string& arch) {
  const char* build = std::getenv(arch == kWin32 ? "VEXA_WIN32_BUILD" : "VEXA_WIN64_BUILD");
  return build ? std::filesystem::path(build) : std::filesystem::path(VEXA_SOURCE_DIR) / "build" / arch;
}

// The build's Wine launcher: scripts/wine or scripts/wine32.
inline std::string wineLauncher(const std::string& arch) {
  return std::string(VEXA_SOURCE_DIR) + (arch == kWin32 ? "/scripts/wine32" : "/scripts/wine");
}

inline double percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5)];
}

class CWineProbe {
 public:
  CWineProbe() = default;
  CWineProbe(const CWineProbe&) = delete;
  CWineProbe& operator=(const CWineProbe&) = delete;
  ~CWineProbe() {
    if (m_pid > 0) {
      kill(m_pid, SIGTERM);
      waitpid(m_pid, nullptr, 0);
      // The launcher's end does not end the Windows programs: their server does.
      endWineServer();
    }
    if (m_out >= 0) close(m_out);
  }

  // Runs the arch's Wine launcher with the arguments in the build's prefix;
  // without a display, under xvfb-run. An error text, or empty when it started.
  std::string Start(const std::string& arch, const std::filesystem::path& build, std::vector<std::string> wineArgs,
                    bool needsDisplay) {
    int fds[2];
    if (pipe(fds) != 0) return "pipe failed";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    setenv("WINEPREFIX", (build / "wineprefix").c_str(), 1);
    // A server left by an earlier run belongs to a display that may be gone,
    // and the probe's windows would fail on it. Wine's own background programs
    // then start before the probe, which would otherwise wait for them.
    endWineServer();
    if (const char* shown = std::getenv("DISPLAY"); shown && *shown) runToEnd({wineLauncher(arch), "cmd", "/c", "exit"});
    std::vector<std::string> args;
    const char* display = std::getenv("DISPLAY");
    // scripts/run-benchmarks.sh gives a display; run by hand without one, xvfb-run
    // does, with a screen Wine can open windows on (its default has 8-bit colour).
    if (needsDisplay && (!display || !*display)) args = {"xvfb-run", "-a", "-s", "-screen 0 1280x800x24"};
    args.push_back(wineLauncher(arch));
    args.insert(args.end(), wineArgs.begin(), wineArgs.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int rc = posix_spawnp(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    m_out = fds[0];
    if (rc != 0) m_pid = -1;
    return rc == 0 ? std::string() : "cannot start " + args[0];
  }

  // Ends the server of the prefix in WINEPREFIX and every program it runs.
  static void endWineServer() { runToEnd({"/usr/lib/wine/wineserver", "-k"}); }

  // Runs a program with no input or output of ours and waits for it.
  static void runToEnd(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
      posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) waitpid(pid, nullptr, 0);
    posix_spawn_file_actions_destroy(&actions);
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

}  // namespace vexa::bench
