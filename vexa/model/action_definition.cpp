#include "vexa/model/action_definition.h"

#include <algorithm>

#include "vexa/model/catalogue.h"
#include "vexa/model/names.h"

namespace vexa {

ActionNameProblem checkActionName(std::string_view name) {
  if (name.empty()) return ActionNameProblem::Empty;
  if (hasReservedChar(name)) return ActionNameProblem::ReservedChar;
  return ActionNameProblem::None;
}

std::string_view actionNameMessage(ActionNameProblem problem) {
  switch (problem) {
    case ActionNameProblem::Empty: return kMsgChooseActionName;
    case ActionNameProblem::ReservedChar: return kMsgReservedInActionName;
    case ActionNameProblem::None: break;
  }
  return {};
}

bool delayAllowed(bool isNewAction, size_t actionsInLayout, int position) {
  return isNewAction ? actionsInLayout > 0 : position >= 1;
}

void applyDelay(CMD& action, int delayMs) {
  action.delay = std::clamp(delayMs, 0, CMD::kMaxDelayMs);
  if (action.delay != 0)
    action.flags |= CMD::kDelayEnabled;
  else
    action.flags &= ~CMD::kDelayEnabled;
}

bool typeHasChoiceList(int type) {
  for (const auto& group : actionCatalogue())
    for (const auto& e : group.entries)
      if (e.type == type) return e.choices != ChoiceSource::None;
  return false;
}

ActionNameProblem acceptActionDefinition(const ActionDefinitionInput& input, CMD& action) {
  const ActionNameProblem problem = checkActionName(input.name);
  if (problem != ActionNameProblem::None) return problem;
  action.name = input.name;
  action.typeName = input.selectedTypeLabel;
  action.fileName = input.field1;
  action.param = input.field2;
  applyDelay(action, input.delay);
  return ActionNameProblem::None;
}

}  // namespace vexa
