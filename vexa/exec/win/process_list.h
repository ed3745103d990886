#pragma once
// Finding the running processes of an application and reaching its
// top-level windows. Two ways exist, depending on what the system offers;
// one is chosen when the engine starts.
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/exec/win/window_operation.h"

namespace vexa::exec {

struct ProcessSearch {
  DWORD pid = 0;                  // a process of the application; 0 when none runs
  std::vector<std::string> seen;  // keys of the processes looked at
  bool seenAll = true;            // false when the search stopped early
};

class IProcessList {
 public:
  virtual ~IProcessList() = default;
  virtual const char* name() const = 0;
  // Looks for a process of the application (file name already expanded).
  // With an operation, it is applied to the application's windows; without
  // one the call only tests.
  virtual ProcessSearch find(std::string_view fileName, WindowOperation* op) = 0;
};

// Tool-help snapshots from the kernel; null when the functions are missing.
std::unique_ptr<IProcessList> makeToolhelpProcessList();
// The process-status library; null unless all the functions it needs exist.
std::unique_ptr<IProcessList> makeProcessStatusList();
// Tool-help, else process status, else a list in which nothing ever runs.
std::unique_ptr<IProcessList> chooseProcessList();

}  // namespace vexa::exec
