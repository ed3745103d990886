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
// so the run only asks. The main window finds the command by identity
// (ignoring it when the command is gone) and switches it to the layout
// named, or numbered when the name is empty.
struct SwitchLayoutRequest {
  const void* command = nullptr;
  std::string layoutName;
  int layoutNumber = -1;
};

}  // namespace vexa
