#pragma once
// The walk over one command's actions: delays waited on the terminate
// event, repeat rules, the "Cycle through windows" hand-over, status texts
// and OSD requests. Every effect goes through the host.
#include <cstdint>
#include <string>
#include <string_view>

#include "vexa/exec/actions/action_kind.h"
#include "vexa/exec/command_snapshot.h"

namespace vexa {

inline constexpr size_t kMaxStatusText = 500;

struct ActionCall {
  const CMD& action;
  int type;
  const CommandSnapshot& command;
  uint32_t repeat;
  bool useCachedLists;  // a held button's first action reuses the lists collected before
  ActionKind kind() const { return actionKindFromNumber(type); }
};

class IExecHost {
 public:
  virtual ~IExecHost() = default;
  virtual bool terminateRequested() = 0;
  // Waits up to `ms`; true when the wait ended for any reason but the time-out.
  virtual bool waitForTerminate(unsigned ms) = 0;
  virtual bool cycleInProgress() = 0;
  // Releases the keys held by the cycle and reports "Cycled through windows".
  virtual void endCycle() = 0;
  virtual void flashTray() = 0;
  virtual bool applicationRunning(std::string_view fileName, bool useCachedList) = 0;
  // Runs one action; the status text it leaves is at most 500 bytes.
  virtual bool execute(const ActionCall& call, std::string& message) = 0;
  virtual void status(std::string message) = 0;
  virtual void showExecuted(const CommandSnapshot& command, uint32_t repeat) = 0;
};

struct WalkResult {
  int executed = 0;   // non-empty actions started
  int succeeded = 0;
  bool stoppedByRepeatRule = false;
  bool terminated = false;
};

WalkResult walkActions(const CommandSnapshot& command, uint32_t repeat, IExecHost& host);

// The file an application action works on: its own first field, else the
// folder's application.
std::string applicationFileOf(const CMD& action, const CommandSnapshot& command);

}  // namespace vexa
