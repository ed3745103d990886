#include "vexa/exec/command_variants.h"

#include "vexa/exec/command_resolution.h"

namespace vexa {

CommandVariants CommandVariants::collect(const CCmdTree& tree, std::string_view remote, std::string_view command) {
  CommandVariants v;
  v.remote_ = std::string(remote);
  v.command_ = std::string(command);
  v.copy_ = std::make_unique<CCmdTree>();
  const CCmdItem* live = tree.findRemote(remote);
  if (!live) return v;
  CCmdItem& copyRemote = v.copy_->insertRemote(live->label());
  // Folders first, then the remote's own commands: the order the lookups see in a sorted tree.
  for (const auto& child : live->children()) {
    if (child->kind() != ItemKind::Folder) continue;
    const APPFOLDER& folder = *child->folder();
    CCmdItem& copyFolder = v.copy_->insertFolder(copyRemote, folder.clone());
    v.identities_[&copyFolder.folder()->appCommand()] = &folder.appCommand();
    for (const auto& inner : child->children())
      if (inner->kind() == ItemKind::Command && inner->label() == command) {
        CCmdItem& copied = v.copy_->appendCommand(copyFolder, inner->command()->clone());
        v.identities_[copied.command()] = &inner->command()->first();
      }
  }
  for (const auto& child : live->children())
    if (child->kind() == ItemKind::Command && child->label() == command) {
      CCmdItem& copied = v.copy_->appendCommand(copyRemote, child->command()->clone());
      v.identities_[copied.command()] = &child->command()->first();
    }
  return v;
}

std::optional<CommandSnapshot> CommandVariants::resolve(IAppEnvironment& environment) const {
  if (!copy_) return std::nullopt;
  const std::optional<Resolution> r = resolveCommand(*copy_, remote_, command_, environment);
  if (!r || !r->command) return std::nullopt;
  CommandSnapshot s = snapshotOf(*r->command, r->folder, remote_);
  const auto identity = identities_.find(&r->command->first());
  s.identity = identity == identities_.end() ? nullptr : identity->second;
  s.applicationActive = r->applicationActive;
  if (!s.inFolder) s.folder.flags = r->folderFlags;
  return s;
}

}  // namespace vexa
