#pragma once
// The records that an execution run's messages to the main window carry
// (their numbers are in program_messages.h). Posted records are allocated
// with new by the run and deleted by the main window (or by the run when
// posting fails).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "vexa/base/program_messages.h"

namespace vexa {


// Forwarded to the server module: fixed-size, each text cut and terminated.
struct ServerRecord {
  char command[256];
  uint32_t repeat;
  char remote[256];
};
static_assert(sizeof(ServerRecord) == 516);
static_assert(offsetof(ServerRecord, repeat) == 256 && offsetof(ServerRecord, remote) == 260);

template <size_t N>
void copyBounded(char (&to)[N], std::string_view from) {
  const size_t n = std::min(from.size(), N - 1);
  std::memcpy(to, from.data(), n);
  std::memset(to + n, 0, N - n);
}

inline ServerRecord makeServerRecord(std::string_view command, uint32_t repeat, std::string_view remote) {
  ServerRecord r;
  copyBounded(r.command, command);
  r.repeat = repeat;
  copyBounded(r.remote, remote);
  return r;
}

// A "Switch Layout" action: the tree belongs to the user-interface thread,
// so the run only asks, and waits for the answer (nonzero: switched). The
// main window finds the command by identity (the request fails when the
// command is gone), switches it to the layout named, or numbered when the
// name is empty, and with `wholeFolder` every command of its application
// folder as well; `activeLayout` receives the name of the layout now active.
struct SwitchLayoutRequest {
  const void* command = nullptr;
  std::string layoutName;
  int layoutNumber = -1;
  bool wholeFolder = false;
  std::string activeLayout;
};

// Work an action needs done on the user-interface thread (its timers,
// the windows it gives back the focus to), sent with kActionRequest.
struct ActionUiRequest {
  enum Kind : uint32_t {
    kTemporaryActivation = 1,  // remember `previous` for the switch-back 3 s after the last one (timer 2)
    kCycleTimer = 2,           // "Cycle through windows": (re)start timer 10, 2 s
    kMouseTimer = 3,           // "Move Mouse": (re)start timer 11, 250 ms
    kHotKeys = 4,              // `on`: hot keys work again; off while keys are synthesised
  };
  uint32_t kind = 0;
  uintptr_t window = 0;    // the window activated
  uintptr_t previous = 0;  // the window that had the focus before
  bool wasMinimised = false;
  bool wasHidden = false;
  bool on = false;
};

}  // namespace vexa
