#pragma once
// The running system as one run sees it: the process list, the shared
// process-name cache and when the run may answer from it.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "vexa/exec/app_environment.h"
#include "vexa/exec/win/process_list.h"
#include "vexa/exec/win/process_name_cache.h"

namespace vexa::exec {

class CRunEnvironment final : public IAppEnvironment {
 public:
  // `repeatPress`: a held button, whose first test may use the keys that an
  // earlier run collected.
  CRunEnvironment(IProcessList& processes, CProcessNameCache& cache, bool repeatPress)
      : m_processes(processes), m_cache(cache), m_repeatPress(repeatPress) {}

  bool isRunning(std::string_view fileName, bool useCachedList) override;
  bool passesForegroundTest(const APPFOLDER& folder) override;
  std::string expand(std::string_view fileName) override;

  // Applies the operation to the application's windows; the process id, 0
  // when it does not run.
  DWORD apply(std::string_view fileName, WindowOperation& op);
  // How a folder's window name is found (the main window's list); without
  // one, by its exact title.
  void setWindowFinder(std::function<HWND(std::string_view name)> finder) { m_findWindow = std::move(finder); }

 private:
  bool mayUseCache(std::string_view fileName, bool useCachedList) const;
  DWORD search(std::string_view fileName, WindowOperation* op);

  IProcessList& m_processes;
  CProcessNameCache& m_cache;
  bool m_repeatPress;
  bool m_listFresh = false;  // this run collected the keys of all processes
  std::function<HWND(std::string_view name)> m_findWindow;
};

}  // namespace vexa::exec
