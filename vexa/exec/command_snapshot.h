#pragma once
// What one run executes, copied from the command tree on the user-interface
// thread: the tree may be edited or reloaded while the run goes on.
#include <cstdint>
#include <string>
#include <vector>

#include "vexa/model/cmd.h"

namespace vexa {

class CCmdArray;
class APPFOLDER;

struct FolderSnapshot {
  std::string name;
  std::string fileName;
  std::string windowName;
  uint32_t flags = 0;
};

struct CommandSnapshot {
  std::string remote;
  std::string command;     // the name pressed (or run)
  uint32_t flags = 0;      // "Allow repeated commands", "Disable OSD"
  int activeLayout = 0;
  std::vector<CMD> actions;  // of the active layout, in order
  bool inFolder = false;
  FolderSnapshot folder;
  bool applicationActive = true;
  const void* identity = nullptr;  // the command's first layout, to name it to the user interface
};

CommandSnapshot snapshotOf(const CCmdArray& command, const APPFOLDER* folder, std::string remote);

}  // namespace vexa
