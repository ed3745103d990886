#include "vexa/osd/win/tree_selector_commands.h"

#include "vexa/model/app_folder.h"
#include "vexa/model/cmd_tree.h"

namespace vexa::osd::win {

FoundCommand findCommand(const CCmdTree& tree, const void* identity) {
  FoundCommand found;
  if (!identity) return found;
  tree.forEachItem([&](const CCmdItem& item) {
    if (found.command) return;
    CCmdArray* command = item.command();
    if (item.folder() && &item.folder()->appCommand() == identity) command = &item.folder()->appCommand();
    if (!command || command != identity) return;
    found.command = command;
    found.folder = item.folder() ? item.folder() : tree.appFolderOf(*command);
    found.remote = item.remote().label();
  });
  return found;
}

std::optional<SelectorCommand> CTreeSelectorCommands::find(const void* identity) const {
  if (!m_tree) return std::nullopt;
  const FoundCommand found = findCommand(*m_tree, identity);
  if (!found.command) return std::nullopt;
  SelectorCommand command;
  command.name = found.command->name();
  for (const CCmdArray* l = found.command; l; l = l->next()) {
    SelectorLayout layout{l->layoutName(), {}};
    for (const auto& action : l->actions()) layout.actions.push_back(action->name);
    command.layouts.push_back(std::move(layout));
  }
  const int active = found.command->activeLayoutNumber();
  command.active = active < 0 ? 0 : static_cast<size_t>(active);
  return command;
}

bool activateLayout(const CCmdTree& tree, const FoundCommand& found, size_t layout) {
  if (!found.command || !found.command->switchToLayout(layout)) return false;
  if (!found.folder || !(found.folder->flags & APPFOLDER::kSwitchLayoutsTogether)) return true;
  if (const CCmdItem* folderItem = tree.findByObject(*found.folder))
    for (const auto& child : folderItem->children())
      if (CCmdArray* command = child->command()) command->switchToLayout(layout);
  return true;
}

}  // namespace vexa::osd::win
