// vremote: a remote control and "Irman" receiver in a terminal, for Vexa
// under Wine. See --help.
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tools/vremote/pty_line.h"
#include "tools/vremote/remote_keys.h"
#include "tools/vremote/terminal_keys.h"
#include "tools/vremote/timing_remote.h"

using namespace vexa::vremote;
using namespace std::chrono_literals;

namespace {

struct Options {
  std::filesystem::path prefix = "build/win64/wineprefix";
  int port = 1;
  std::vector<std::string> send;  // --send KEY...
  std::optional<std::string> vdpRemote;
  int repeat = 1;
  int gapMs = 150;
  int waitMs = 0;  // --send waits this long for the plug-in before the first key
  bool pad = false;  // a mouse-pad remote's packets instead of the Irman's codes
  bool printPadCodes = false;
  bool carrierLine = false;  // --carrio: timing frames for carrio.dll's scripted line
};

void usage() {
  std::puts(
      "usage: vremote [--prefix DIR] [--port N] [--pad]    interactive remote\n"
      "       vremote [--prefix DIR] [--port N] [--pad] --send KEY... [--repeat N] [--gap MS] [--wait MS]\n"
      "       vremote --print-vdp REMOTE_NAME                learned-code sections for every key\n"
      "       vremote --print-pad-codes                      NAME CODE of each key that is a pad button\n"
      "       --carrio: play a carrier-line receiver instead (with --print-vdp: timing codes)\n"
      "Creates a pseudo-terminal, links it as COM port N of the Wine prefix (default\n"
      "build/win64/wineprefix, port 1), answers the init string \"IR\" with \"OK\" like an\n"
      "Irman or an Irbox (whose plug-in sends \"I\" and \"R\" apart), and sends a 6-byte\n"
      "code per key. Keys: 0-9, Up, Down, Left, Right, Space,\n"
      "Enter. Without a terminal it reads key names, one per line, from standard input.\n"
      "--pad: a mouse-pad remote instead, at 1200 baud: each key a packet 0xA0 CODE 0xAA,\n"
      "the arrows strokes of pad bytes that move the pointer.\n"
      "With --carrio each key is one pulse-distance frame, written as the edge script that\n"
      "carrio.dll's scripted build (never shipped) replays as its carrier-detect line.");
}

std::optional<Options> parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    const char* value = nullptr;
    if (arg == "--prefix" && (value = next())) o.prefix = value;
    else if (arg == "--port" && (value = next())) o.port = std::atoi(value);
    else if (arg == "--repeat" && (value = next())) o.repeat = std::atoi(value);
    else if (arg == "--gap" && (value = next())) o.gapMs = std::atoi(value);
    else if (arg == "--wait" && (value = next())) o.waitMs = std::atoi(value);
    else if (arg == "--print-vdp" && (value = next())) o.vdpRemote = value;
    else if (arg == "--carrio") o.carrierLine = true;
    else if (arg == "--pad") o.pad = true;
    else if (arg == "--print-pad-codes") o.printPadCodes = true;
    else if (arg == "--send") {
      while (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0) o.send.push_back(argv[++i]);
    } else return std::nullopt;
  }
  if (o.port < 1 || o.port > 256) return std::nullopt;
  return o;
}

// Answers the plug-in's init string while the line is open.
class CAnswerThread {
 public:
  explicit CAnswerThread(CPtyLine& line) : m_line(line), m_thread([this] { Run(); }) {}
  ~CAnswerThread() {
    m_stop = true;
    m_thread.join();
  }
  int Answered() const { return m_answered; }

 private:
  void Run() {
    CIrmanResponder irman;
    while (!m_stop) {
      const std::string bytes = m_line.Read(50ms);
      if (bytes.empty()) continue;
      if (auto answer = irman.Feed(bytes)) {
        m_line.Write(*answer);
        m_answered = irman.InitsAnswered();
      }
    }
  }
  CPtyLine& m_line;
  std::atomic<bool> m_stop{false};
  std::atomic<int> m_answered{0};
  std::thread m_thread;
};

// What a key puts on the line: the receiver's code bytes, a pad's packet, or
// the edges of its frame.
class CKeySender {
 public:
  CKeySender(bool pad, bool carrierLine) : m_pad(pad), m_carrierLine(carrierLine) {}
  bool Send(CPtyLine& line, const RemoteKey& key) {
    if (m_carrierLine) return line.Write(m_presses.script(key));
    if (m_pad) return line.Write(padPacket(key));
    return line.Write(std::string(reinterpret_cast<const char*>(key.code.data()), key.code.size()));
  }

 private:
  bool m_pad;
  bool m_carrierLine;
  CTimingPresses m_presses{std::random_device{}(), 5};
};

// A held button: its code again and again, as a remote repeats it while held.
constexpr auto kHoldFor = 1500ms;
constexpr auto kHoldRepeatGap = 100ms;

void holdKey(CPtyLine& line, CKeySender& sender, const RemoteKey& key) {
  const auto end = std::chrono::steady_clock::now() + kHoldFor;
  do {
    sender.Send(line, key);
    std::this_thread::sleep_for(kHoldRepeatGap);
  } while (std::chrono::steady_clock::now() < end);
}

int sendMode(CPtyLine& line, const Options& o) {
  CAnswerThread answers(line);
  CKeySender sender(o.pad, o.carrierLine);
  std::this_thread::sleep_for(std::chrono::milliseconds(o.waitMs));
  for (const std::string& name : o.send) {
    const RemoteKey* key = findKey(name);
    if (!key) return std::fprintf(stderr, "vremote: no key \"%s\"\n", name.c_str()), 2;
    for (int r = 0; r < o.repeat; ++r) {
      sender.Send(line, *key);
      std::this_thread::sleep_for(std::chrono::milliseconds(o.gapMs));
    }
  }
  return 0;
}

int stdinMode(CPtyLine& line, bool pad, bool carrierLine) {
  CAnswerThread answers(line);
  CKeySender sender(pad, carrierLine);
  std::string name;
  while (std::getline(std::cin, name)) {
    if (name == "q" || name == "quit") break;
    if (name.empty()) continue;
    const bool hold = name.rfind("hold ", 0) == 0;
    if (hold) name.erase(0, 5);
    const RemoteKey* key = findKey(name);
    if (!key) {
      std::fprintf(stderr, "vremote: no key \"%s\"\n", name.c_str());
      continue;
    }
    if (hold)
      holdKey(line, sender, *key);
    else
      sender.Send(line, *key);
    std::printf("%s %s\n", hold ? "held" : "sent", key->name);
    std::fflush(stdout);
  }
  return 0;
}

void printLegend(const CPtyLine& line, int port) {
  std::printf("vremote: COM%d -> %s\r\n", port, line.TerminalPath().c_str());
  std::printf("keys:");
  for (const RemoteKey& key : remoteKeys()) std::printf("  [%s] %s", key.legend, key.name);
  std::printf("\r\nh then a key holds that key for 1.5 s. q quits.\r\n");
  std::fflush(stdout);
}

void onStopSignal(int) {}

int interactiveMode(CPtyLine& line, int port, bool pad, bool carrierLine) {
  // Ctrl+C interrupts the read below instead of killing us, so that the
  // terminal leaves raw mode again.
  struct sigaction stop {};
  stop.sa_handler = onStopSignal;
  sigset_t stops;
  sigemptyset(&stops);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    sigaction(sig, &stop, nullptr);
    sigaddset(&stops, sig);
  }
  CRawTerminal raw;
  pthread_sigmask(SIG_BLOCK, &stops, nullptr);  // the signals must reach this thread's read
  CAnswerThread answers(line);
  pthread_sigmask(SIG_UNBLOCK, &stops, nullptr);
  printLegend(line, port);
  CKeyDecoder decoder;
  CKeySender sender(pad, carrierLine);
  bool holdNext = false;
  char c;
  while (true) {
    const ssize_t n = ::read(STDIN_FILENO, &c, 1);
    if (n < 0 && errno == EINTR) return 130;
    if (n != 1) break;
    const auto key = decoder.Feed(c);
    if (!key) continue;
    if (*key == "q") break;
    if (*key == "h") {
      holdNext = true;
      std::printf("hold: the next key is held for 1.5 s\r\n");
      std::fflush(stdout);
      continue;
    }
    if (const RemoteKey* remoteKey = findKey(*key)) {
      if (holdNext)
        holdKey(line, sender, *remoteKey);
      else
        sender.Send(line, *remoteKey);
      std::printf("%s %-6s (inits answered: %d)\r\n", holdNext ? "held" : "sent", remoteKey->name,
                  answers.Answered());
      holdNext = false;
      std::fflush(stdout);
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const auto options = parse(argc, argv);
  if (!options) {
    usage();
    return 2;
  }
  if (options->vdpRemote) {
    const std::string sections =
        options->carrierLine ? timingVdpSections(*options->vdpRemote) : vdpSections(*options->vdpRemote);
    std::fputs(sections.c_str(), stdout);
    return 0;
  }
  if (options->printPadCodes) {
    for (const RemoteKey& key : remoteKeys())
      if (auto code = padButtonCode(key)) std::printf("%s %u\n", key.name, static_cast<unsigned>(*code));
    return 0;
  }
  std::signal(SIGPIPE, SIG_IGN);
  CPtyLine line;
  if (const std::string error = line.Open(options->prefix, options->port); !error.empty()) {
    std::fprintf(stderr, "vremote: %s\n", error.c_str());
    return 1;
  }
  if (!options->send.empty()) return sendMode(line, *options);
  if (!isatty(STDIN_FILENO)) return stdinMode(line, options->pad, options->carrierLine);
  return interactiveMode(line, options->port, options->pad, options->carrierLine);
}
