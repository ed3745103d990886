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

bool fieldKeepsMeaning(const CatalogueEntry& from, const CatalogueEntry& to, int field) {
  const std::string_view label = field == 1 ? from.field1 : from.field2;
  if (label.empty() || label != (field == 1 ? to.field1 : to.field2)) return false;
  // The second field's number or text reads after the first field's kind
  // (a program's parameter or a display mode's, a pointer's speed or a mixer step).
  if (from.choices != to.choices) return false;
  if (field == 2) return true;
  constexpr unsigned kTarget = CatalogueFlag::kApplication | CatalogueFlag::kWindow | CatalogueFlag::kMousePosition;
  if ((from.flags & kTarget) != (to.flags & kTarget)) return false;
  return from.choices != ChoiceSource::Fixed || std::ranges::equal(from.fixedChoices, to.fixedChoices);
}

std::string noChoiceMessage(const CatalogueEntry& entry, bool listEmpty) {
  if (listEmpty && entry.choices == ChoiceSource::MixerControls)
    return "This computer reports no mixer control for \"" + std::string(entry.name) +
           "\", so the action has nothing to work on.\nChoose another action, or add it once a sound device is "
           "installed.";
  if (listEmpty) return "This computer offers no choice for \"" + std::string(entry.field1) + "\".";
  return "Please choose the \"" + std::string(entry.field1) + "\" of this action.";
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
