#include "vexa/exec/action_walk.h"

#include "vexa/base/utf8.h"
#include "vexa/exec/actions/action_kind.h"
#include "vexa/model/catalogue.h"
#include "vexa/model/cmd_array.h"

namespace vexa {

std::string applicationFileOf(const CMD& action, const CommandSnapshot& command) {
  if (!action.fileName.empty()) return action.fileName;
  return command.inFolder ? command.folder.fileName : std::string();
}

WalkResult walkActions(const CommandSnapshot& command, uint32_t repeat, IExecHost& host) {
  WalkResult result;
  if (!command.applicationActive) return result;
  const bool allowRepeat = command.flags & CCmdArray::kAllowRepeat;
  const bool disableOsd = command.flags & CCmdArray::kDisableOsd;
  for (const CMD& action : command.actions) {
    if (host.terminateRequested()) {
      result.terminated = true;
      break;
    }
    if (action.typeName.empty()) continue;
    // The first action of a run never waits.
    if (action.delayEnabled() && host.waitForTerminate(result.executed == 0 ? 0u : static_cast<unsigned>(action.delay))) {
      result.terminated = true;
      break;
    }
    ++result.executed;
    int type = actionTypeOf(action.typeName);
    if (type < 1) continue;
    // Another action ends a cycle; it then runs itself rather than being lost.
    if (host.cycleInProgress() && !actionTraits(actionKindFromNumber(type)).endsNoCycle) host.endCycle();
    if (repeat != 0 && !allowRepeat) {
      result.stoppedByRepeatRule = true;
      break;
    }
    host.flashTray();
    const bool cached = repeat != 0 && result.executed == 1;
    if (type == ActionType::kExecuteClose)
      type = host.applicationRunning(applicationFileOf(action, command), cached) ? ActionType::kClose
                                                                                : ActionType::kExecute;
    std::string message;
    bool ok = false;
    if (!(repeat != 0 && actionTraits(actionKindFromNumber(type)).firstPressOnly)) ok = host.execute({action, type, command, repeat, cached}, message);
    if (message.size() > kMaxStatusText) message = std::string(utf8Prefix(message, kMaxStatusText));
    if (!message.empty()) host.status(std::move(message));
    if (ok) {
      ++result.succeeded;
      if (!disableOsd) host.showExecuted(command, repeat);
    }
  }
  return result;
}

}  // namespace vexa
