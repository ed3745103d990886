#pragma once
// One handler per action kind; each family registers its own.
#include <array>

#include "vexa/exec/actions/action_kind.h"
#include "vexa/exec/win/actions/action_context.h"

namespace vexa::exec {

class CActionTable {
 public:
  // Built once by every family; never changed afterwards.
  static const CActionTable& instance();

  void add(ActionKind kind, ActionHandler handler) { m_handlers[static_cast<size_t>(kind)] = handler; }
  // Null for a kind that has no implementation.
  ActionHandler find(ActionKind kind) const { return m_handlers[static_cast<size_t>(kind)]; }

 private:
  std::array<ActionHandler, kActionKindLimit> m_handlers{};
};

void registerApplicationActions(CActionTable& table);
void registerWindowActions(CActionTable& table);
void registerKeyActions(CActionTable& table);
void registerSystemActions(CActionTable& table);
void registerMouseActions(CActionTable& table);
void registerAudioActions(CActionTable& table);
void registerDialUpActions(CActionTable& table);
void registerMessageActions(CActionTable& table);

}  // namespace vexa::exec
