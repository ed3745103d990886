#include "vexa/exec/command_resolution.h"

#include <vector>

#include "vexa/base/strings.h"
#include "vexa/exec/exec_names.h"
#include "vexa/model/names.h"

namespace vexa {

namespace {

struct Candidate {
  const APPFOLDER* folder;
  CCmdArray* command;
};

bool applicationRuns(const APPFOLDER& folder, IAppEnvironment& env) {
  const std::string file = env.expand(folder.fileName());
  return !isNoApplication(file) && env.isRunning(file, true);
}

Resolution found(const Candidate& c, bool active) { return {c.command, c.folder, c.folder->flags, active}; }

}  // namespace

std::optional<Resolution> resolveCommand(const CCmdTree& tree, std::string_view remote, std::string_view command,
                                         IAppEnvironment& env) {
  std::vector<Candidate> running;
  const APPFOLDER* special = nullptr;
  CCmdArray* specialCommand = nullptr;
  bool anyApplicationRuns = false;
  CCmdTree::FolderCursor cursor;
  size_t defining = 0;
  while (const APPFOLDER* folder = tree.nextAppFolder(remote, cursor)) {
    if (isSpecialFolderName(folder->name)) {
      CCmdTree::FindPosition at;
      if (!special) {
        special = folder;
        specialCommand = tree.findCommand(remote, command, folder->name, at);
      }
      continue;
    }
    const bool runs = applicationRuns(*folder, env);
    anyApplicationRuns = anyApplicationRuns || runs;
    CCmdTree::FindPosition at;
    CCmdArray* found = tree.findCommand(remote, command, folder->name, at);
    if (!found || defining >= kMaxFoldersPerCommand) continue;
    ++defining;
    if (runs) running.push_back({folder, found});
  }

  if (running.size() == 1) {
    const Candidate& only = running.front();
    const bool mustBeFront = only.folder->flags & APPFOLDER::kMustBeForeground;
    return found(only, !mustBeFront || env.passesForegroundTest(*only.folder));
  }
  if (running.size() > 1) {
    for (const Candidate& c : running)
      if (!(c.folder->flags & APPFOLDER::kMustBeForeground) || env.passesForegroundTest(*c.folder))
        return found(c, true);
    return found(running.front(), false);
  }
  if (specialCommand && !anyApplicationRuns) return found({special, specialCommand}, true);

  CCmdTree::FindPosition at;
  if (CCmdArray* global = tree.findCommand(remote, command, std::nullopt, at)) {
    const APPFOLDER* owner = tree.appFolderOf(*global);
    return Resolution{global, owner, owner ? owner->flags : 0u, true};
  }
  return std::nullopt;
}

}  // namespace vexa
