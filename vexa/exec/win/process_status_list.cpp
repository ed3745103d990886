// Process enumeration through the process-status library, loaded for each
// call and freed afterwards.
#include <windows.h>

#include <algorithm>

#include "vexa/base/strings.h"
#include "vexa/exec/exec_names.h"
#include "vexa/exec/win/process_list.h"
#include "vexa/winlib/handle.h"
#include "vexa/winlib/module.h"
#include "vexa/winlib/unicode.h"

namespace vexa::exec {

namespace {

constexpr size_t kMaxProcesses = 8192 / sizeof(DWORD);
constexpr size_t kMaxModules = 8192 / sizeof(HMODULE);
constexpr size_t kMaxWindows = 30;

using EnumProcessesFn = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
using EnumProcessModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
using ModuleNameFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);
using EnumTaskWowExFn = INT(WINAPI*)(DWORD, void*, LPARAM);

struct ProcessStatusApi {
  win::CModule psapi;
  win::CModule vdm;
  EnumProcessesFn enumProcesses = nullptr;
  EnumProcessModulesFn enumModules = nullptr;
  ModuleNameFn fileName = nullptr;
  ModuleNameFn baseName = nullptr;

  // The path counts as present only when every function it relies on exists.
  bool load() {
    if (!psapi.Load(L"PSAPI.DLL") || !vdm.Load(L"VDMDBG.DLL")) return false;
    enumProcesses = psapi.GetProc<EnumProcessesFn>("EnumProcesses");
    enumModules = psapi.GetProc<EnumProcessModulesFn>("EnumProcessModules");
    fileName = psapi.GetProc<ModuleNameFn>("GetModuleFileNameExW");
    baseName = psapi.GetProc<ModuleNameFn>("GetModuleBaseNameW");
    return vdm.GetProc<EnumTaskWowExFn>("VDMEnumTaskWOWEx") && enumProcesses && enumModules && fileName && baseName;
  }
};

std::string moduleText(ModuleNameFn fn, HANDLE process, HMODULE module) {
  wchar_t text[MAX_PATH] = {};
  const DWORD n = fn(process, module, text, MAX_PATH);
  return win::toUtf8(std::wstring_view(text, std::min<DWORD>(n, MAX_PATH)));
}

struct WindowCollector {
  DWORD pid;
  std::vector<HWND> windows;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM param) {
  auto& c = *reinterpret_cast<WindowCollector*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == c.pid) c.windows.push_back(window);
  return c.windows.size() < kMaxWindows;
}

class CProcessStatusList final : public IProcessList {
 public:
  const char* name() const override { return "process-status"; }

  ProcessSearch find(std::string_view fileName, WindowOperation* op) override {
    ProcessSearch result;
    result.seenAll = false;
    ProcessStatusApi api;
    if (!api.load()) return result;
    std::vector<DWORD> pids(kMaxProcesses);
    DWORD bytes = 0;
    if (!api.enumProcesses(pids.data(), static_cast<DWORD>(pids.size() * sizeof(DWORD)), &bytes)) return result;
    pids.resize(std::min<size_t>(bytes / sizeof(DWORD), kMaxProcesses));
    const std::string key = processKey(fileName);
    const bool module = isModuleApplication(fileName);
    if (op) op->module = module;
    for (const DWORD pid : pids) {
      if (!matches(api, pid, fileName, key, module, result.seen)) continue;
      // The first match ends the search, so the keys seen are not all.
      if (op) applyToWindows(pid, *op);
      result.pid = pid;
      return result;
    }
    result.seenAll = true;
    return result;
  }

 private:
  static bool matches(const ProcessStatusApi& api, DWORD pid, std::string_view fileName, std::string_view key,
                      bool module, std::vector<std::string>& seen) {
    win::CHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!process) return false;
    std::vector<HMODULE> modules(kMaxModules);
    DWORD bytes = 0;
    if (!api.enumModules(process.Get(), modules.data(), static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &bytes))
      return false;
    modules.resize(std::min<size_t>(bytes / sizeof(HMODULE), kMaxModules));
    if (modules.empty()) return false;
    const std::string processName = moduleText(api.baseName, process.Get(), modules[0]);
    seen.push_back(processName);
    if (!module) return iequals(processName, key);
    for (size_t i = 1; i < modules.size(); ++i) {
      const std::string path = moduleText(api.fileName, process.Get(), modules[i]);
      if (iequals(path, fileName) || iequals(processKey(path), key)) return true;
    }
    return false;
  }

  static void applyToWindows(DWORD pid, WindowOperation& op) {
    WindowCollector collector{pid, {}};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&collector));
    for (const HWND w : collector.windows) {
      applyWindowOperation(w, op);
      if (!appliesToFirstWindowOnly(op.code) && op.done) break;
    }
  }
};

}  // namespace

std::unique_ptr<IProcessList> makeProcessStatusList() {
  ProcessStatusApi probe;
  if (!probe.load()) return nullptr;
  return std::make_unique<CProcessStatusList>();
}

}  // namespace vexa::exec
