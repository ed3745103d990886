#include "vexa/exec/win/run_environment.h"

#include "vexa/exec/exec_names.h"
#include "vexa/exec/win/window_operation.h"
#include "vexa/model/app_folder.h"
#include "vexa/winlib/unicode.h"

namespace vexa::exec {

bool CRunEnvironment::mayUseCache(std::string_view fileName, bool useCachedList) const {
  // The cache holds process keys only; it cannot say which modules are loaded.
  if (!useCachedList || isModuleApplication(fileName)) return false;
  return m_listFresh || (m_repeatPress && !m_cache.empty());
}

DWORD CRunEnvironment::search(std::string_view fileName, WindowOperation* op) {
  ProcessSearch found = m_processes.find(fileName, op);
  // A partial list would make later answers from the cache wrong.
  m_listFresh = found.seenAll;
  m_cache.replace(found.seenAll ? std::move(found.seen) : std::vector<std::string>());
  return found.pid;
}

bool CRunEnvironment::isRunning(std::string_view fileName, bool useCachedList) {
  if (mayUseCache(fileName, useCachedList)) return m_cache.contains(processKey(fileName));
  return search(fileName, nullptr) != 0;
}

DWORD CRunEnvironment::apply(std::string_view fileName, WindowOperation& op) { return search(fileName, &op); }

bool CRunEnvironment::passesForegroundTest(const APPFOLDER& folder) {
  if (folder.windowName.empty()) {
    WindowOperation test{WindowOp::kTestForeground};
    return apply(expand(folder.fileName()), test) != 0 && test.done;
  }
  const HWND window = m_findWindow ? m_findWindow(folder.windowName)
                                   : FindWindowW(nullptr, win::toWide(folder.windowName).c_str());
  return isForegroundOrAncestor(window);
}

std::string CRunEnvironment::expand(std::string_view fileName) {
  const std::wstring source = win::toWide(fileName);
  wchar_t expanded[MAX_PATH] = {};
  const DWORD n = ExpandEnvironmentStringsW(source.c_str(), expanded, MAX_PATH);
  // The count includes the terminator; 0 or more than fits is a failure.
  if (n <= 1 || n > MAX_PATH) return std::string(fileName);
  return win::toUtf8(expanded);
}

}  // namespace vexa::exec
