#include "vexa/exec/command_snapshot.h"

#include "vexa/model/app_folder.h"
#include "vexa/model/cmd_array.h"

namespace vexa {

CommandSnapshot snapshotOf(const CCmdArray& command, const APPFOLDER* folder, std::string remote) {
  CommandSnapshot s;
  const CCmdArray& first = command.first();
  const CCmdArray* layout = first.activeLayout() ? first.activeLayout() : &first;
  s.remote = std::move(remote);
  s.command = first.name();
  s.flags = first.flags();
  s.activeLayout = first.activeLayoutNumber();
  for (const auto& a : layout->actions()) s.actions.push_back(*a);
  if (folder) {
    s.inFolder = true;
    s.folder = {folder->name, folder->fileName(), folder->windowName, folder->flags};
  }
  s.identity = &first;
  return s;
}

}  // namespace vexa
