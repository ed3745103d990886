#pragma once
// A real lircd for tests, run unprivileged in a folder of the test's own:
// the "file" driver writes the pulse/space stream it transmits to a file
// there, its socket and pid file live there too, and it may listen on a
// loopback port for network clients. POSIX only.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace vexa::test {

class CLircdDaemon {
 public:
  CLircdDaemon(const std::filesystem::path& dir, const std::string& remotesConf, std::optional<int> port = {})
      : m_dir(dir) {
    std::ofstream(dir / "remotes.conf") << remotesConf;
    std::ofstream(output()).flush();
    std::vector<std::string> args{program("lircd"), "-n", "-H", "file", "-d", output().string(),
                                  "-o", socket().string(), "-P", (dir / "lircd.pid").string(),
                                  "-L", (dir / "lircd.log").string(), "-a"};
    if (port) args.push_back("--listen=127.0.0.1:" + std::to_string(*port));
    args.push_back((dir / "remotes.conf").string());
    m_pid = spawn(args);
    for (int i = 0; i < 250 && !std::filesystem::exists(socket()); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (!std::filesystem::exists(socket())) throw std::runtime_error("lircd did not start: " + log());
  }
  ~CLircdDaemon() {
    if (m_pid > 0) {
      kill(m_pid, SIGTERM);
      waitpid(m_pid, nullptr, 0);
    }
  }
  CLircdDaemon(const CLircdDaemon&) = delete;
  CLircdDaemon& operator=(const CLircdDaemon&) = delete;

  std::filesystem::path socket() const { return m_dir / "lircd.socket"; }
  std::string log() const { return readText(m_dir / "lircd.log"); }

  // What lircd transmitted for one irsend SEND_ONCE (count > 0: the button
  // held for that many repeats), as samples: bit 31 pulse, microseconds below.
  std::vector<uint32_t> sendOnce(const std::string& remote, const std::string& button, int count = 0) {
    const auto before = std::filesystem::file_size(output());
    std::vector<std::string> args{program("irsend"), "-d", socket().string()};
    if (count > 0) args.push_back("--count=" + std::to_string(count));
    args.insert(args.end(), {"SEND_ONCE", remote, button});
    if (!irsend(args)) throw std::runtime_error("irsend SEND_ONCE " + remote + " " + button + " failed: " + log());
    // irsend returns once lircd answered; its file write is done by then, but poll with a bound.
    for (int i = 0; i < 100 && std::filesystem::file_size(output()) == before; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return samplesOf(readText(output()).substr(before));
  }

  bool simulate(const std::string& line) {
    return irsend({program("irsend"), "-d", socket().string(), "SIMULATE", line});
  }

  static std::vector<uint32_t> samplesOf(const std::string& text) {
    std::vector<uint32_t> out;
    std::istringstream in(text);
    std::string kind;
    uint32_t micros = 0;
    while (in >> kind >> micros) out.push_back((kind == "pulse" ? 0x80000000u : 0u) | micros);
    return out;
  }

  static std::string program(const std::string& name) {
    for (const char* dir : {"/usr/sbin/", "/usr/bin/", "/sbin/", "/bin/", "/usr/local/sbin/", "/usr/local/bin/"})
      if (access((std::string(dir) + name).c_str(), X_OK) == 0) return std::string(dir) + name;
    throw std::runtime_error(name + " is not installed (Debian package lirc)");
  }

 private:
  std::filesystem::path output() const { return m_dir / "transmitted.txt"; }

  static std::string readText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  static pid_t spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) throw std::runtime_error("could not start " + args[0]);
    return pid;
  }

  static bool irsend(const std::vector<std::string>& args) {
    const pid_t pid = spawn(args);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

  std::filesystem::path m_dir;
  pid_t m_pid = -1;
};

}  // namespace vexa::test
