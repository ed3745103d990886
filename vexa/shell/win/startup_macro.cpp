#include "vexa/shell/win/startup_macro.h"

#include <string>

#include "vexa/exec/command_snapshot.h"
#include "vexa/exec/win/exec_engine.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/model/names.h"

namespace vexa::shell {

int runStartupMacro(const CCmdTree& tree, exec::CExecEngine& engine, HWND mainWindow) {
  int started = 0;
  for (const auto& remote : tree.remotes()) {
    // Exactly this name: a remote named otherwise is the user's own.
    if (remote->label() != kStartupMacro) continue;
    for (const auto& item : remote->children()) {
      if (item->kind() != ItemKind::Command) continue;
      const CCmdArray& command = *item->command()->activeLayout();
      started += engine.StartCommandRun(
          mainWindow, snapshotOf(command, tree.appFolderOf(*item->command()), std::string(kStartupMacro)), 0, true,
          false);
    }
  }
  return started;
}

}  // namespace vexa::shell
