#pragma once
// Rules of the dialog that edits one action, kept free of any window.
#include <string>
#include <string_view>

#include "vexa/model/catalogue.h"
#include "vexa/model/cmd.h"

namespace vexa {

inline constexpr std::string_view kActionDefinitionTitle = "Action Definition";
inline constexpr std::string_view kMsgChooseActionName = "Please choose a name for this action.";
inline constexpr std::string_view kMsgReservedInActionName =
    "You have entered an invalid character for the name of this action.\n\\#[]@=| are reserved for internal use.";

enum class ActionNameProblem { None, Empty, ReservedChar };

ActionNameProblem checkActionName(std::string_view name);
// The message to show for a problem; empty for None.
std::string_view actionNameMessage(ActionNameProblem problem);

// The delay only makes sense after another action of the same layout.
bool delayAllowed(bool isNewAction, size_t actionsInLayout, int position);

// Slider range and steps.
inline constexpr int kDelaySliderLine = 100;
inline constexpr int kDelaySliderPage = 1000;

// Takes the slider value (clamped to 0..10000) and sets or clears the delay
// flag with it.
void applyDelay(CMD& action, int delayMs);

// Types whose first field is a drop-down list instead of an edit field.
bool typeHasChoiceList(int type);

// Whether field 1 or 2 keeps its value when the type changes from `from` to
// `to`: the same label over the same kind of field 1 (its target and its
// choices). Any other change of type would give the old value a meaning it
// never had.
bool fieldKeepsMeaning(const CatalogueEntry& from, const CatalogueEntry& to, int field);

// Why a type whose field 1 is a list cannot be saved with nothing chosen;
// `listEmpty` when the machine offered no choice at all.
std::string noChoiceMessage(const CatalogueEntry& entry, bool listEmpty);

struct ActionDefinitionInput {
  std::string name;
  std::string selectedTypeLabel;  // empty when a group is selected
  std::string field1;
  std::string field2;
  int delay = 0;
};

// The OK button: validates and, when valid, writes the input into `action`.
ActionNameProblem acceptActionDefinition(const ActionDefinitionInput& input, CMD& action);

}  // namespace vexa
