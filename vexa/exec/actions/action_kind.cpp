#include "vexa/exec/actions/action_kind.h"

#include "vexa/model/catalogue.h"

namespace vexa {

ActionTraits actionTraits(ActionKind kind) {
  switch (kind) {
    case ActionKind::CycleThroughWindows: return {true, true};
    case ActionKind::SuspendWindows:
    case ActionKind::TurnOffDisplay:
    case ActionKind::SwitchToWindow: return {true, false};
    default: return {};
  }
}

ActionKind actionKindOf(std::string_view typeName) { return actionKindFromNumber(actionTypeOf(typeName)); }

}  // namespace vexa
